/* A preloaded shim that starves the demo's music thread once, as a loaded machine might: the
 * 12th poll(2) of the thread named "music" (half a second into the music, at 40 ms a wait)
 * waits two seconds, longer than the stream's queue lasts, unless woken sooner. Every
 * other call, and every call of every other thread (OpenAL Soft's mixer among them), is
 * forwarded unchanged. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <poll.h>
#include <pthread.h>
#include <string.h>

enum { kStalledPoll = 12, kStallMs = 2000 };

static int (*real_poll)(struct pollfd*, nfds_t, int);

__attribute__((constructor)) static void find_poll(void)
{
    real_poll = (int (*)(struct pollfd*, nfds_t, int))dlsym(RTLD_NEXT, "poll");
}

int poll(struct pollfd* fds, nfds_t count, int timeout)
{
    static int music_polls; /* only the music thread counts */
    char name[16] = "";
    if (pthread_getname_np(pthread_self(), name, sizeof name) == 0 && strcmp(name, "music") == 0
        && ++music_polls == kStalledPoll)
        timeout = kStallMs;
    return real_poll(fds, count, timeout);
}
