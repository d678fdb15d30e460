/* A preloaded shim for runs too slow for a sped-up wall clock (the demo under valgrind): the
 * window library's timer moves on by a fixed step, GLFW_CLOCK_STEP seconds (default 1), at each
 * reading, so every pass of the frame loop advances the show by the same amount however long
 * it took, and the whole schedule takes a known number of passes. */
#include <stdlib.h>

static long readings;

double glfwGetTime(void)
{
    static double step = -1.0;
    if (step < 0.0) {
        const char* value = getenv("GLFW_CLOCK_STEP");
        step = value ? atof(value) : 1.0;
    }
    return (double)readings++ * step;
}
