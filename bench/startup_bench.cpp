// Start-up and frame-rate benchmark: runs the demo's own start-up through the same entry
// points, timing each stage from glfwInit (the schedule's zero) to the first presented frame,
// then the empty frame loop's rate. Run it from build/, where the demo's data sit, under a display
// (scripts/bench uses Xvfb).
#include <glad/gl.h>
#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdio>

#include "gl_context.hpp"
#include "music.hpp"
#include "scenes.hpp"
#include "window.hpp"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kLoopFrames = 600;

// Opened before main, as the demo opens its own.
SoundEngine* const soundEngine = openProcessSoundEngine();

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Prints each stage's own time and the time since the first stage began.
class Stages {
public:
    Stages() : start_(Clock::now()), last_(start_) {}

    void done(const char* stage)
    {
        const Clock::time_point now = Clock::now();
        std::printf("%-24s %8.1f ms %8.1f ms\n", stage, msBetween(last_, now), msBetween(start_, now));
        last_ = now;
    }

private:
    Clock::time_point start_;
    Clock::time_point last_;
};

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
    std::printf("%-24s %11s %11s\n", "stage", "own", "total");
    Stages stages;
    glfwInit();
    stages.done("glfwInit");

    GLFWwindow* window = createDemoWindow();
    if (window == nullptr) {
        std::printf("no window: run under a display (scripts/bench uses Xvfb)\n");
        return 1;
    }
    stages.done("window and context");

    if (!loadGlFunctions(glfwGetProcAddress)) {
        std::printf("the GL loader failed\n");
        return 1;
    }
    glEnable(GL_DEPTH_TEST);
    stages.done("GL functions");

    const Scenes scenes = loadScenes();
    stages.done("programs, quads, picture");

    startMusic(soundEngine);
    stages.done("music start");

    // The first pass as the frame loop makes it: whatever scene the clock picks (scene 1
    // unless start-up took longer than its span), presented.
    renderFrame(scenes, static_cast<float>(glfwGetTime()));
    glfwSwapBuffers(window);
    glfwPollEvents();
    stages.done("first frame presented");

    const Clock::time_point loopStart = Clock::now();
    for (int i = 0; i < kLoopFrames; ++i)
        clearAndPresent(window);
    const double seconds = msBetween(loopStart, Clock::now()) / 1000.0;
    std::printf("%-24s %8.1f frames/s (%d frames, %dx%d)\n", "empty frame loop",
                kLoopFrames / seconds, kLoopFrames, kWindowWidth, kWindowHeight);

    glfwTerminate();
    return 0;
}
