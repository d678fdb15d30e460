// Start-up from outside, as a user waits for it: the real demo against its floor, a bare window
// that clears and swaps once, each timed by a preloaded probe from glfwInit to its first frame
// presented; their ratio is the start-up's budget. The same runs give the music's lag behind the
// picture, which MUSIC_LAG follows. Run it from build/ under a display (scripts/bench uses Xvfb).
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

#include "stats.hpp"
#include "tooling/command_line.hpp"

extern char** environ;

namespace {

constexpr const char* kUsage = R"(usage: startup_bench
Times the real demo's start-up from outside against a bare window's, and the music's lag
behind the picture. Run it from build/, under a display.
)";

using bench::Clock;

constexpr int kRuns = 15;
constexpr double kTargetRatio = 1.5;
constexpr auto kRunLimit = std::chrono::seconds(30);
constexpr auto kPollStep = std::chrono::milliseconds(5);

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

// The median of the runs the probe saw (a run it saw nothing of counts negative).
double seenMedian(std::vector<double> values)
{
    values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return v < 0.0; }), values.end());
    return bench::median(std::move(values));
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
                1000 * seenMedian(lag), 1000 * seenMedian(series.musicAt), 1000 * seenMedian(series.latency));
}

// Both programs started alternately, with Mesa's shader cache warm for both (a private cache,
// filled by one untimed run of each) and then disabled for both. The music's lag is the demo
// time at which the music starts plus the output latency OpenAL Soft reports for it, on its null
// output and, where a server answers, on PulseAudio.
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
    std::printf("start-up, glfwInit to the first frame presented, from outside (medians of %d runs each,\n"
                "the two programs alternated)\n", kRuns);
    std::printf("  %-22s %18s %18s\n", "", "warm shader cache", "no shader cache");
    std::printf("  %-22s %15.1f ms %15.1f ms\n", "bare window (floor)", 1000 * seenMedian(warmRuns.bare),
                1000 * seenMedian(coldRuns.bare));
    std::printf("  %-22s %15.1f ms %15.1f ms\n", "demo", 1000 * seenMedian(warmRuns.demo),
                1000 * seenMedian(coldRuns.demo));
    const double warmRatio = seenMedian(warmRuns.demo) / seenMedian(warmRuns.bare);
    const double coldRatio = seenMedian(coldRuns.demo) / seenMedian(coldRuns.bare);
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

}  // namespace

int main(int argc, char** argv)
{
    operandsOrExit(argc, argv, "startup_bench", kUsage, 0, 0);
    compareWithFloor();
    return 0;
}
