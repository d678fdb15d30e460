// Start-up benchmark. The demo's start-up run in this process, stage by stage, with its wall
// and main-thread CPU times; then the real demo against its floor, a bare program that opens the
// same window, clears and swaps once (bare_window): both started alternately, each timed from
// outside by a preloaded probe (startup_probe.c) from its glfwInit to its first frame presented,
// with Mesa's shader cache warm for both (a private cache, filled by one untimed run of each)
// and then with it disabled for both; medians and their ratio. The same demo runs give the
// music's lag behind the picture: the demo time at which the music starts plus the output
// latency OpenAL Soft reports for it, on its null output and, where a server answers, on
// PulseAudio. Run it from build/, where the demo's data sit, under a display
// (scripts/bench uses Xvfb).
#include <glad/gl.h>
#include <GLFW/glfw3.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/gl_context.hpp"
#include "platform/window.hpp"
#include "show/show_size.hpp"
#include "show/scenes.hpp"
#include "show/shader.hpp"
#include "show/show_data.hpp"
#include "show/texture.hpp"
#include "sound/music.hpp"
#include "tooling/command_line.hpp"

extern char** environ;

namespace {

constexpr const char* kUsage =
    "usage: startup_bench\n"
    "Times the demo's start-up stage by stage, then the real demo against a bare window, and\n"
    "the music's lag behind the picture. Run it from build/, under a display.\n";

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 15;
constexpr double kTargetRatio = 1.5;
constexpr auto kRunLimit = std::chrono::seconds(30);
constexpr auto kPollStep = std::chrono::milliseconds(5);

// Opened and started before main, as the demo's own are.
SoundEngine* const soundEngine = openProcessSoundEngine();
[[maybe_unused]] const bool pictureDecodedAhead = decodePictureAhead();

// What the probe saw of one run; negative where it saw nothing.
struct Probe {
    double startup = -1.0;
    double musicAt = -1.0;
    double latency = -1.0;
};

// Runs `program` from the working directory with the probe preloaded and `extraEnv` on top of
// this process's environment; stdout and stderr go to /dev/null.
Probe probeRun(const char* program, const std::vector<std::string>& extraEnv, const std::string& resultPath)
{
    std::vector<std::string> env = extraEnv;
    env.push_back(std::string("LD_PRELOAD=") + STARTUP_PROBE);
    env.push_back("STARTUP_PROBE_FILE=" + resultPath);
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string line = *entry;
        const std::string key = line.substr(0, line.find('=') + 1);
        const bool overridden = std::any_of(env.begin(), env.end(),
                                            [&](const std::string& e) { return e.rfind(key, 0) == 0; });
        if (!overridden)
            env.push_back(line);
    }
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program), nullptr};

    std::remove(resultPath.c_str());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    const int spawned = posix_spawn(&child, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return {};
    const Clock::time_point limit = Clock::now() + kRunLimit;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (Clock::now() > limit) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return {};
        }
        std::this_thread::sleep_for(kPollStep);
    }
    Probe probe;
    std::ifstream(resultPath) >> probe.startup >> probe.musicAt >> probe.latency;
    std::remove(resultPath.c_str());
    return probe;
}

double median(std::vector<double> values)
{
    values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return v < 0.0; }), values.end());
    if (values.empty())
        return -1.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Series {
    std::vector<double> bare, demo, musicAt, latency;
};

// kRuns of each program, alternated, after one untimed run of each.
Series alternate(const std::vector<std::string>& env, const std::vector<std::string>& demoEnv,
                 const std::string& resultPath)
{
    probeRun(BARE_WINDOW, env, resultPath);
    probeRun(DEMO, demoEnv, resultPath);
    Series series;
    for (int i = 0; i < kRuns; ++i) {
        series.bare.push_back(probeRun(BARE_WINDOW, env, resultPath).startup);
        const Probe demo = probeRun(DEMO, demoEnv, resultPath);
        series.demo.push_back(demo.startup);
        series.musicAt.push_back(demo.musicAt);
        series.latency.push_back(demo.latency);
    }
    return series;
}

std::vector<std::string> with(std::vector<std::string> env, const std::vector<std::string>& more)
{
    env.insert(env.end(), more.begin(), more.end());
    return env;
}

void printLag(const char* output, const Series& series)
{
    std::vector<double> lag;
    for (std::size_t i = 0; i < series.musicAt.size(); ++i)
        if (series.musicAt[i] >= 0.0 && series.latency[i] >= 0.0)
            lag.push_back(series.musicAt[i] + series.latency[i]);
    if (lag.empty()) {
        std::printf("  %-22s no music: no such output here\n", output);
        return;
    }
    std::printf("  %-22s %7.1f ms = music start %6.1f ms + output latency %5.1f ms   (medians)\n", output,
                1000 * median(lag), 1000 * median(series.musicAt), 1000 * median(series.latency));
}

void compareWithFloor()
{
    const std::string scratch = std::filesystem::temp_directory_path() / ("startup_bench." + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);
    const std::string result = scratch + "/probe";
    const std::vector<std::string> warm = {"MESA_SHADER_CACHE_DIR=" + scratch + "/cache"};
    const std::vector<std::string> cold = {"MESA_SHADER_CACHE_DISABLE=true"};
    const std::vector<std::string> music = {"STARTUP_PROBE_MUSIC=1", "ALSOFT_DRIVERS=null"};

    const Series warmRuns = alternate(warm, with(warm, music), result);
    const Series coldRuns = alternate(cold, with(cold, music), result);
    std::printf("\nstart-up, glfwInit to the first frame presented, from outside (medians of %d runs each,\n"
                "the two programs alternated)\n", kRuns);
    std::printf("  %-22s %18s %18s\n", "", "warm shader cache", "no shader cache");
    std::printf("  %-22s %15.1f ms %15.1f ms\n", "bare window (floor)", 1000 * median(warmRuns.bare),
                1000 * median(coldRuns.bare));
    std::printf("  %-22s %15.1f ms %15.1f ms\n", "demo", 1000 * median(warmRuns.demo), 1000 * median(coldRuns.demo));
    const double warmRatio = median(warmRuns.demo) / median(warmRuns.bare);
    const double coldRatio = median(coldRuns.demo) / median(coldRuns.bare);
    std::printf("  %-22s %18.2f %18.2f   (target <= %.1f with a warm cache: %s)\n", "ratio", warmRatio, coldRatio,
                kTargetRatio, warmRatio <= kTargetRatio ? "met" : "MISSED");

    std::printf("\nmusic lag behind the picture (demo time of the music start + OpenAL Soft's latency)\n");
    printLag("null output", warmRuns);
    // Tried once first: without a server there is no music to wait for.
    Series pulse;
    for (int i = 0; i < kRuns && (i == 0 || pulse.musicAt[0] >= 0.0); ++i) {
        const Probe demo = probeRun(DEMO, with(warm, {"STARTUP_PROBE_MUSIC=1", "ALSOFT_DRIVERS=pulse"}), result);
        pulse.musicAt.push_back(demo.musicAt);
        pulse.latency.push_back(demo.latency);
    }
    printLag("PulseAudio", pulse);
    std::filesystem::remove_all(scratch);
}

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double threadCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
         + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Prints each stage's own wall time, the main thread's CPU time in it, and the time since the
// first stage began. GL work a stage queued is finished within it.
class Stages {
public:
    Stages() : start_(Clock::now()), last_(start_), lastCpu_(threadCpuMs()) {}

    void done(const char* stage)
    {
        if (glad_glFinish != nullptr)
            glFinish();
        const Clock::time_point now = Clock::now();
        const double cpu = threadCpuMs();
        std::printf("  %-28s %8.1f ms %8.1f ms %8.1f ms\n", stage, msBetween(last_, now), cpu - lastCpu_,
                    msBetween(start_, now));
        last_ = now;
        lastCpu_ = cpu;
    }

private:
    Clock::time_point start_;
    Clock::time_point last_;
    double lastCpu_;
};

// The demo's start-up in this process, loadScenes' steps timed one by one through the same
// entry points (the quads come after the picture here, which changes no stage's cost).
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
    std::vector<std::string> none;
    if (const std::optional<int> status = answerOperands(argc, argv, "startup_bench", kUsage, 0, 0, none))
        return *status;
    // In-process first, so that the picture decoded ahead races the window as in the demo.
    const int status = stageByStage();
    if (status == 0)
        compareWithFloor();
    return status;
}
