/* The window library's timer for runs where faketime can't serve. With GLFW_CLOCK_STEP it moves
 * on by that many seconds at each reading (the demo under valgrind, far too slow for a sped-up
 * wall clock: every pass advances the show by the same amount); with GLFW_CLOCK_SPEED it runs
 * that many times faster than the real one (the sanitized suite, where libfaketime deadlocks
 * against AddressSanitizer's start-up); with GLFW_CLOCK_AT it stands still at that time (a
 * frame to look at). With none, it is the window library's own. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>

double glfwGetTime(void)
{
    static long readings;
    const char* step = getenv("GLFW_CLOCK_STEP");
    const char* at = getenv("GLFW_CLOCK_AT");
    if (step)
        return (double)readings++ * atof(step);
    if (at)
        return atof(at);
    const double real = ((double (*)(void))dlsym(RTLD_NEXT, "glfwGetTime"))();
    const char* speed = getenv("GLFW_CLOCK_SPEED");
    return speed ? real * atof(speed) : real;
}
