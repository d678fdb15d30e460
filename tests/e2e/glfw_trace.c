/* A preloaded shim that records the demo's window-library calls, one line each, in the file
 * named by GLFW_TRACE_FILE, then forwards every call unchanged. The tests read the trace to
 * see what a run did and in which order (hints, frames presented, how it ended) without
 * changing the program under test. Times are the real monotonic clock in seconds, read past
 * any preloaded clock shim so that sped-up runs still show real durations. With
 * GLFW_TRACE_NO_GL set, OpenGL function lookups find nothing, as on a broken driver. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdarg.h>
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

static void record(const char* format, ...) __attribute__((format(printf, 1, 2)));
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
    struct timespec ts;
    syscall(SYS_clock_gettime, CLOCK_MONOTONIC, &ts);
    fprintf(trace, "%.6f ", (double)ts.tv_sec + (double)ts.tv_nsec / 1e9);
    va_list args;
    va_start(args, format);
    vfprintf(trace, format, args);
    va_end(args);
    fputc('\n', trace);
    fflush(trace); /* the tests watch the file while the demo runs */
}

/* The real function, called with the depth raised so that its inner calls go unrecorded;
 * END lowers it again. Calls are recorded before they run, results after. */
#define CALL(name, ...) (depth++, ((__typeof__(&name))dlsym(RTLD_NEXT, #name))(__VA_ARGS__))
#define END depth--

/* A call recorded by its name alone before it runs, its result passed back. */
#define TRACED(type, name, params, ...) \
    type name params { record(#name); type result = CALL(name, __VA_ARGS__); END; return result; }
#define TRACED_VOID(name, params, ...) \
    void name params { record(#name); CALL(name, __VA_ARGS__); END; }

TRACED(int, glfwInit, (void))
TRACED(GLFWmonitor*, glfwGetPrimaryMonitor, (void))
TRACED_VOID(glfwWindowHint, (int hint, int value), hint, value)
TRACED_VOID(glfwMakeContextCurrent, (GLFWwindow* window), window)
TRACED_VOID(glfwSetInputMode, (GLFWwindow* window, int mode, int value), window, mode, value)
TRACED_VOID(glfwTerminate, (void))

void glfwSetWindowShouldClose(GLFWwindow* window, int value)
{
    record("glfwSetWindowShouldClose %d", value);
    CALL(glfwSetWindowShouldClose, window, value); END;
}
typedef void (*GLFWglproc)(void);
GLFWglproc glfwGetProcAddress(const char* name)
{
    record("glfwGetProcAddress");
    GLFWglproc proc = CALL(glfwGetProcAddress, name); END;
    return getenv("GLFW_TRACE_NO_GL") ? NULL : proc;
}
void glfwSwapBuffers(GLFWwindow* window) { CALL(glfwSwapBuffers, window); END; record("glfwSwapBuffers"); }
void glfwPollEvents(void) { CALL(glfwPollEvents); END; record("glfwPollEvents"); }

TRACED(GLFWframebuffersizefun, glfwSetFramebufferSizeCallback, (GLFWwindow* window, GLFWframebuffersizefun callback),
       window, callback)

GLFWwindow* glfwCreateWindow(int width, int height, const char* title, GLFWmonitor* monitor,
                             GLFWwindow* share)
{
    GLFWwindow* window = CALL(glfwCreateWindow, width, height, title, monitor, share); END;
    record("glfwCreateWindow %d %d \"%s\" %s %s -> %s", width, height, title, monitor ? "monitor" : "null",
           share ? "share" : "null", window ? "window" : "null");
    return window;
}

int glfwGetKey(GLFWwindow* window, int key)
{
    int state = CALL(glfwGetKey, window, key); END;
    record("glfwGetKey %d -> %d", key, state);
    return state;
}

int glfwWindowShouldClose(GLFWwindow* window)
{
    int close = CALL(glfwWindowShouldClose, window); END;
    record("glfwWindowShouldClose -> %d", close);
    return close;
}

double glfwGetTime(void)
{
    double t = CALL(glfwGetTime); END;
    record("glfwGetTime -> %.9f", t);
    return t;
}
