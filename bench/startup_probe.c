/* A preloaded probe that times a program's start-up from outside, as a viewer sees it: from
 * its call of glfwInit to the return of its first glfwSwapBuffers, the first frame presented.
 * If the program starts music through OpenAL (the demo's first alSourcePlay), it also notes
 * the demo time of that start and, once the first frame is out, the output latency that
 * OpenAL Soft reports for that source. It writes one line to the file named by
 * STARTUP_PROBE_FILE, "<start-up s> <music start s> <latency s>" (-1 for no music), and ends
 * the process there: start-up is all that is measured. With STARTUP_PROBE_MUSIC set, the first
 * frame waits up to two seconds for the music to start. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

typedef struct GLFWwindow GLFWwindow;
typedef unsigned int ALuint;
typedef int ALenum;
typedef int ALint;
typedef double ALdouble;

/* OpenAL's and its AL_SOFT_source_latency extension's values. */
enum { kAlSourceState = 0x1010, kAlPlaying = 0x1012, kAlSecOffsetLatency = 0x1201 };
/* How long the first frame waits for the music thread to start the source. */
enum { kMusicWaitMs = 2000 };

static double initAt = -1.0;
static double volatile musicAt = -1.0; /* demo time of the first alSourcePlay */
static ALuint volatile musicSource;

static double now(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec + (double)ts.tv_nsec / 1e9;
}

static void* next(const char* name)
{
    return dlsym(RTLD_NEXT, name);
}

int glfwInit(void)
{
    initAt = now();
    return ((int (*)(void))next("glfwInit"))();
}

void alSourcePlay(ALuint source)
{
    if (musicAt < 0.0) {
        musicSource = source;
        musicAt = ((double (*)(void))dlsym(RTLD_DEFAULT, "glfwGetTime"))();
    }
    ((void (*)(ALuint))next("alSourcePlay"))(source);
}

/* The output latency OpenAL Soft reports for the music's source once it plays; -1 without. */
static double musicLatency(void)
{
    if (getenv("STARTUP_PROBE_MUSIC") == NULL)
        return -1.0;
    for (int waited = 0; musicAt < 0.0 && waited < kMusicWaitMs; ++waited)
        usleep(1000);
    void (*getSourcei)(ALuint, ALenum, ALint*) = dlsym(RTLD_DEFAULT, "alGetSourcei");
    void (*getSourcedv)(ALuint, ALenum, ALdouble*) = dlsym(RTLD_DEFAULT, "alGetSourcedvSOFT");
    if (musicAt < 0.0 || getSourcei == NULL || getSourcedv == NULL)
        return -1.0;
    ALint state = 0;
    for (int waited = 0; waited < kMusicWaitMs; ++waited) {
        getSourcei(musicSource, kAlSourceState, &state);
        if (state == kAlPlaying)
            break;
        usleep(1000);
    }
    ALdouble offsetAndLatency[2] = {0.0, -1.0};
    getSourcedv(musicSource, kAlSecOffsetLatency, offsetAndLatency);
    return offsetAndLatency[1];
}

void glfwSwapBuffers(GLFWwindow* window)
{
    ((void (*)(GLFWwindow*))next("glfwSwapBuffers"))(window);
    const double startup = now() - initAt;
    const double latency = musicLatency();
    const char* path = getenv("STARTUP_PROBE_FILE");
    FILE* out = fopen(path != NULL ? path : "/dev/null", "w");
    if (out != NULL) {
        fprintf(out, "%.6f %.6f %.6f\n", startup, musicAt, latency);
        fclose(out);
    }
    _exit(0);
}
