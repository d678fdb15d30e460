/* A preloaded shim that records the demo's window-library calls, one line each, in the file
 * named by GLFW_TRACE_FILE, then forwards every call unchanged. The tests read the trace to
 * see what a run did and in which order (hints, frames presented, how it ended) without
 * changing the program under test. Times are the real monotonic clock in seconds, read past
 * any preloaded clock shim so that sped-up runs still show real durations. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

typedef struct GLFWwindow GLFWwindow;
typedef struct GLFWmonitor GLFWmonitor;
typedef void (*GLFWframebuffersizefun)(GLFWwindow*, int, int);

static FILE* trace;
static int depth; /* calls the window library makes to itself are not the program's */

static double realSeconds(void)
{
    struct timespec ts;
    syscall(SYS_clock_gettime, CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec + (double)ts.tv_nsec / 1e9;
}

static void record(const char* format, ...) __attribute__((format(printf, 1, 2)));

#include <stdarg.h>
static void record(const char* format, ...)
{
    if (depth > 0)
        return;
    if (!trace) {
        const char* path = getenv("GLFW_TRACE_FILE");
        trace = fopen(path ? path : "/dev/null", "w");
        if (!trace)
            return;
    }
    fprintf(trace, "%.6f ", realSeconds());
    va_list args;
    va_start(args, format);
    vfprintf(trace, format, args);
    va_end(args);
    fputc('\n', trace);
    fflush(trace);  /* the tests watch the file while the demo runs */
}

/* The real function, called with the depth raised so that its inner calls go unrecorded. */
#define REAL(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))
#define CALL(result, name, ...) do { depth++; result = REAL(name)(__VA_ARGS__); depth--; } while (0)
#define CALL_VOID(name, ...) do { depth++; REAL(name)(__VA_ARGS__); depth--; } while (0)

int glfwInit(void)
{
    int ok;
    record("glfwInit");
    CALL(ok, glfwInit);
    return ok;
}

void glfwWindowHint(int hint, int value)
{
    record("glfwWindowHint 0x%x %d", hint, value);
    CALL_VOID(glfwWindowHint, hint, value);
}

GLFWwindow* glfwCreateWindow(int width, int height, const char* title, GLFWmonitor* monitor,
                             GLFWwindow* share)
{
    GLFWwindow* window;
    CALL(window, glfwCreateWindow, width, height, title, monitor, share);
    record("glfwCreateWindow %d %d \"%s\" %s %s -> %s", width, height, title,
           monitor ? "monitor" : "null", share ? "share" : "null", window ? "window" : "null");
    return window;
}

void glfwMakeContextCurrent(GLFWwindow* window)
{
    record("glfwMakeContextCurrent");
    CALL_VOID(glfwMakeContextCurrent, window);
}

GLFWframebuffersizefun glfwSetFramebufferSizeCallback(GLFWwindow* window,
                                                      GLFWframebuffersizefun callback)
{
    GLFWframebuffersizefun previous;
    record("glfwSetFramebufferSizeCallback %s", callback ? "set" : "null");
    CALL(previous, glfwSetFramebufferSizeCallback, window, callback);
    return previous;
}

void glfwSetInputMode(GLFWwindow* window, int mode, int value)
{
    record("glfwSetInputMode 0x%x 0x%x", mode, value);
    CALL_VOID(glfwSetInputMode, window, mode, value);
}

int glfwGetKey(GLFWwindow* window, int key)
{
    int state;
    CALL(state, glfwGetKey, window, key);
    record("glfwGetKey %d -> %d", key, state);
    return state;
}

int glfwWindowShouldClose(GLFWwindow* window)
{
    int close;
    CALL(close, glfwWindowShouldClose, window);
    record("glfwWindowShouldClose -> %d", close);
    return close;
}

void glfwSetWindowShouldClose(GLFWwindow* window, int value)
{
    record("glfwSetWindowShouldClose %d", value);
    CALL_VOID(glfwSetWindowShouldClose, window, value);
}

double glfwGetTime(void)
{
    double t;
    CALL(t, glfwGetTime);
    record("glfwGetTime -> %.9f", t);
    return t;
}

void glfwSwapBuffers(GLFWwindow* window)
{
    CALL_VOID(glfwSwapBuffers, window);
    record("glfwSwapBuffers");
}

void glfwPollEvents(void)
{
    CALL_VOID(glfwPollEvents);
    record("glfwPollEvents");
}

void glfwTerminate(void)
{
    record("glfwTerminate");
    CALL_VOID(glfwTerminate);
}
