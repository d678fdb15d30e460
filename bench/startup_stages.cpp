// The demo's start-up stage by stage, in this process: the same entry points in the same order,
// each stage's wall time and main thread's CPU time with its GL work finished, so that a slower
// start-up can be laid at one stage's door (startup_bench times the whole from outside). Run it
// from build/, where the demo's data sit, under a display (scripts/bench uses Xvfb).
#include <glad/gl.h>
#include <GLFW/glfw3.h>
#include <sys/resource.h>

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/gl_context.hpp"
#include "platform/window.hpp"
#include "show/scenes.hpp"
#include "show/shader.hpp"
#include "show/show_data.hpp"
#include "show/show_size.hpp"
#include "show/texture.hpp"
#include "sound/music.hpp"
#include "stats.hpp"
#include "tooling/command_line.hpp"

namespace {

constexpr const char* kUsage = R"(usage: startup_stages
Times the demo's start-up stage by stage in this process: each stage's wall time and the
main thread's CPU time. Run it from build/, under a display.
)";

// Opened and started before main, as the demo's own are.
SoundEngine* const soundEngine = openProcessSoundEngine();
[[maybe_unused]] const bool pictureDecodedAhead = decodePictureAhead();

double threadCpuMs()
{
    return 1e3 * bench::cpuSeconds(RUSAGE_THREAD);
}

// Prints each stage's own wall time, the main thread's CPU time in it, and the time since the
// first stage began. GL work a stage queued is finished within it.
class Stages {
public:
    Stages() : start_(bench::Clock::now()), last_(start_), lastCpu_(threadCpuMs()) {}

    void done(const char* stage)
    {
        if (glad_glFinish != nullptr)
            glFinish();
        const bench::Clock::time_point now = bench::Clock::now();
        const double cpu = threadCpuMs();
        std::printf("  %-28s %8.1f ms %8.1f ms %8.1f ms\n", stage, bench::elapsed<std::milli>(last_, now),
                    cpu - lastCpu_, bench::elapsed<std::milli>(start_, now));
        last_ = now;
        lastCpu_ = cpu;
    }

private:
    bench::Clock::time_point start_;
    bench::Clock::time_point last_;
    double lastCpu_;
};

// loadScenes' steps timed one by one through the same entry points (the quads come after the
// picture here, which changes no stage's cost).
int stageByStage()
{
    std::printf("the demo's start-up stage by stage, in this process (each stage finished with glFinish)\n");
    std::printf("  %-28s %11s %11s %11s\n", "stage", "wall", "main CPU", "total");
    Stages stages;
    glfwInit();
    stages.done("glfwInit");
    GLFWwindow* window = createDemoWindow(kShowWidth, kShowHeight);
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

    std::array<GLuint, std::size(kScenePrograms)> programs{};
    for (std::size_t row = 0; row < programs.size(); ++row) {
        programs[row] = Shader(kScenePrograms[row].vertexPath, kScenePrograms[row].fragmentPath).programId;
        stages.done(("program " + std::to_string(row + 1)).c_str());
    }
    const GLuint imageTexture = loadTexture();
    stages.done("picture (wait, upload, mipmaps)");
    const Scenes scenes = assembleScenes(programs, imageTexture);
    stages.done("quads and sampler");
    startMusic(soundEngine, kTunePath);
    stages.done("music start");
    renderFrame(scenes, static_cast<float>(glfwGetTime()));
    stages.done("first frame drawn");
    glfwSwapBuffers(window);
    glfwPollEvents();
    stages.done("first frame presented");
    glfwTerminate();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    operandsOrExit(argc, argv, "startup_stages", kUsage, 0, 0);
    return stageByStage();
}
