// Start-up and frame-rate benchmark: runs the demo's own start-up steps stage by stage,
// timing each from glfwInit (the schedule's zero) to the first presented frame, then the
// empty frame loop's rate. Run it where the demo would run (scripts/bench uses Xvfb).
#include <glad/gl.h>
#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdio>

#include "window.hpp"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kLoopFrames = 600;

double msSince(Clock::time_point from)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

void clearAndPresent(GLFWwindow* window)
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glfwSwapBuffers(window);
    glfwPollEvents();
}

}  // namespace

int main()
{
    const Clock::time_point start = Clock::now();
    glfwInit();
    std::printf("%-24s %8.1f ms\n", "glfwInit", msSince(start));

    GLFWwindow* window = createDemoWindow();
    if (window == nullptr) {
        std::printf("no window: run under a display (scripts/bench uses Xvfb)\n");
        return 1;
    }
    std::printf("%-24s %8.1f ms\n", "window and context", msSince(start));

    if (!loadGlFunctions()) {
        std::printf("the GL loader failed\n");
        return 1;
    }
    glEnable(GL_DEPTH_TEST);
    std::printf("%-24s %8.1f ms\n", "GL functions", msSince(start));

    clearAndPresent(window);
    std::printf("%-24s %8.1f ms\n", "first frame presented", msSince(start));

    const Clock::time_point loopStart = Clock::now();
    for (int i = 0; i < kLoopFrames; ++i)
        clearAndPresent(window);
    const double seconds = msSince(loopStart) / 1000.0;
    std::printf("%-24s %8.1f frames/s (%d frames, %dx%d)\n", "empty frame loop",
                kLoopFrames / seconds, kLoopFrames, kWindowWidth, kWindowHeight);

    glfwTerminate();
    return 0;
}
