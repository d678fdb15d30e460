// Music benchmark: how long the music start takes (it must not depend on the file's length),
// how long a seek takes to be heard, the streaming thread's CPU share while a tune plays, and
// the process's memory with a short and a long tune. Opens its own engine on an output
// device; scripts/bench gives it OpenAL Soft's null output.
#include <dirent.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sound/sound_engine.hpp"
#include "stats.hpp"
#include "tooling/command_line.hpp"

namespace {

constexpr const char* kUsage = R"(usage: music_bench
Times the music's start and seeks, and measures the streaming thread's CPU share and the
process's memory with a short and a long tune.
)";

using bench::Clock;
constexpr int kRate = 44100;
constexpr int kShortSeconds = 10;
constexpr int kLongSeconds = 600;
constexpr int kStarts = 50;
constexpr auto kPlayTime = std::chrono::seconds(5);
constexpr auto kWarmUp = std::chrono::milliseconds(500);
constexpr char kThreadName[] = "music";
constexpr int kSeeks = 50;
constexpr std::uint64_t kHeardWithin = kRate / 10;  // a position this far past the target counts
constexpr auto kBetweenSeeks = std::chrono::milliseconds(20);

bool writeTune(const std::string& path, int seconds)
{
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        return false;
    std::vector<short> second(2 * kRate);
    for (std::size_t i = 0; i < second.size(); ++i)
        second[i] = static_cast<short>((i * 37) % 20000 - 10000);
    for (int s = 0; s < seconds; ++s)
        sf_writef_short(file, second.data(), kRate);
    return sf_close(file) == 0;
}

// A line of /proc/self/status, in kB.
long statusKb(const char* key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + std::string(key).size());
    return -1;
}

// CPU time, in seconds, of this process's thread with the given name (the scheduler's own
// count, in nanoseconds: clock ticks are too coarse for a thread that mostly sleeps).
double threadCpuSeconds(const char* name)
{
    DIR* tasks = opendir("/proc/self/task");
    double seconds = -1.0;
    while (dirent* entry = tasks != nullptr ? readdir(tasks) : nullptr) {
        const std::string dir = std::string("/proc/self/task/") + entry->d_name;
        std::string comm;
        std::getline(std::ifstream(dir + "/comm"), comm);
        if (comm != name)
            continue;
        double ns = 0.0;
        std::ifstream(dir + "/schedstat") >> ns;
        seconds = ns / 1e9;
    }
    if (tasks != nullptr)
        closedir(tasks);
    return seconds;
}

void measureStarts(SoundEngine& engine, const std::string& path, const char* label)
{
    std::vector<double> us;
    for (int i = 0; i < kStarts; ++i) {
        const Clock::time_point start = Clock::now();
        engine.play(path.c_str());
        us.push_back(bench::elapsed<std::micro>(start));
        engine.stop();
    }
    std::printf("music start, %-16s median %6.0f us   max %6.0f us   (%d starts)\n", label, bench::median(us),
                bench::maximum(us), kStarts);
}

// From seek() until position() reports the frame asked for: the streaming thread's wake and
// refill. Each seek goes half the tune away from where it plays, so the old position can't pass.
void measureSeeks(SoundEngine& engine, const std::string& path, int seconds, const char* label)
{
    const auto loop = static_cast<std::uint64_t>(seconds) * kRate;
    engine.play(path.c_str());
    std::this_thread::sleep_for(kWarmUp);
    std::vector<double> us;
    for (int i = 0; i < kSeeks; ++i) {
        const std::uint64_t target = (engine.position() + loop / 2) % loop;
        const Clock::time_point start = Clock::now();
        engine.seek(target);
        while ((engine.position() + loop - target) % loop > kHeardWithin)
            std::this_thread::yield();
        us.push_back(bench::elapsed<std::micro>(start));
        std::this_thread::sleep_for(kBetweenSeeks);
    }
    engine.stop();
    std::printf("seek,        %-16s median %6.0f us   max %6.0f us   (%d seeks)\n", label, bench::median(us),
                bench::maximum(us), kSeeks);
}

void measurePlaying(SoundEngine& engine, const std::string& path, const char* label)
{
    const long before = statusKb("VmRSS:");
    engine.play(path.c_str());
    std::this_thread::sleep_for(kWarmUp);
    const double thread0 = threadCpuSeconds(kThreadName);
    const double process0 = bench::cpuSeconds(RUSAGE_SELF);
    const Clock::time_point t0 = Clock::now();
    std::this_thread::sleep_for(kPlayTime);
    const double thread1 = threadCpuSeconds(kThreadName);
    const double process1 = bench::cpuSeconds(RUSAGE_SELF);
    const double wall = bench::elapsed(t0);
    const long playing = statusKb("VmRSS:");
    engine.stop();
    std::printf("playing %-16s streaming thread %6.3f %% of a core (whole process, mixer included, "
                "%6.3f %%);  RSS %ld kB -> %ld kB\n",
                label, 100.0 * (thread1 - thread0) / wall, 100.0 * (process1 - process0) / wall, before,
                playing);
}

}  // namespace

int main(int argc, char** argv)
{
    operandsOrExit(argc, argv, "music_bench", kUsage, 0, 0);
    const std::unique_ptr<SoundEngine> engine = SoundEngine::open();
    if (engine == nullptr) {
        std::printf("no sound device: run with ALSOFT_DRIVERS=null (scripts/bench does)\n");
        return 0;
    }
    char dir[] = "/tmp/music_bench_XXXXXX";
    if (mkdtemp(dir) == nullptr)
        return 1;
    const std::string shortTune = std::string(dir) + "/short.wav";
    const std::string longTune = std::string(dir) + "/long.wav";
    if (!writeTune(shortTune, kShortSeconds) || !writeTune(longTune, kLongSeconds))
        return 1;

    measureStarts(*engine, shortTune, "10 s tune:");
    measureStarts(*engine, longTune, "10 min tune:");
    measureSeeks(*engine, longTune, kLongSeconds, "10 min tune:");
    measurePlaying(*engine, shortTune, "10 s tune:");
    measurePlaying(*engine, longTune, "10 min tune:");
    std::printf("peak RSS of the benchmark process: %ld kB\n", statusKb("VmHWM:"));

    std::remove(shortTune.c_str());
    std::remove(longTune.c_str());
    rmdir(dir);
    return 0;
}
