/* A preloaded shim that watches the demo's music thread wait: for the thread named "music", it
 * notes how long each poll(2) took beyond its timeout (how long the machine held the thread up
 * before it could run again), and keeps the longest so far, in milliseconds, in the file named
 * by MUSIC_WAITS_FILE. A test can then tell an underrun of the stream's own making from one
 * of a machine that stopped the thread for longer than its queue lasts. Every call is
 * forwarded unchanged. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <poll.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static int (*real_poll)(struct pollfd*, nfds_t, int);
static double longest; /* only the music thread writes it */

__attribute__((constructor)) static void find_poll(void)
{
    real_poll = (int (*)(struct pollfd*, nfds_t, int))dlsym(RTLD_NEXT, "poll");
}

static double now(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec + (double)ts.tv_nsec / 1e9;
}

int poll(struct pollfd* fds, nfds_t count, int timeout)
{
    char name[16] = "";
    if (timeout < 0 || pthread_getname_np(pthread_self(), name, sizeof name) != 0 || strcmp(name, "music") != 0)
        return real_poll(fds, count, timeout);
    const double start = now();
    const int ready = real_poll(fds, count, timeout);
    const double late = now() - start - timeout / 1000.0;
    const char* path = getenv("MUSIC_WAITS_FILE");
    if (late > longest && path != NULL) {
        longest = late;
        FILE* out = fopen(path, "w");
        if (out != NULL) {
            fprintf(out, "%.0f\n", longest * 1000.0);
            fclose(out);
        }
    }
    return ready;
}
