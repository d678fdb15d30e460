// How a capture's cost follows its size and its processes. The same frames of each scene are
// captured (draft quality, as a preview is) at 320x180, 1920x1080 and 3840x2160, twice over and
// the faster run kept, so that a moment of other work on the machine does not count: the small
// one should take at most a tenth of the 1080p time, a 4K frame at most 4.5 times a 1080p one.
// The time is the pipeline's, from the first frame to ffmpeg's exit; the start-up before it (the
// context, the scenes' programs, the soundtrack's measurement) is the same at every size. Then a
// stretch of the show at release quality is captured by one demo-capture against the same range
// made as two parts side by side and joined: the split's speed-up and the join's share of it.
// Run it from build/.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "capture.hpp"
#include "encoder.hpp"
#include "options.hpp"
#include "show_spans.hpp"
#include "stats.hpp"
#include "tooling/command_line.hpp"

namespace {

constexpr const char* kUsage = R"(usage: capture_scale_bench
Times demo-capture's pipeline on the same frames at 320x180, 1920x1080 and 3840x2160, and a
capture made by one process against the same range made as two parts at once and joined.
Run it from build/.
)";

using bench::Clock;

struct Size {
    int width;
    int height;
};
constexpr Size kSmall{320, 180};
constexpr Size kFull{1920, 1080};
constexpr Size kFourK{3840, 2160};
constexpr double kSmallLimit = 0.1;   // of the 1080p time
constexpr double kFourKLimit = 4.5;   // times the 1080p time
constexpr int kSizeFps = 30;
constexpr float kSizeSeconds = 3.0f;  // of each scene, from its start
constexpr int kSizeRuns = 2;          // of each size, the fastest kept

// The split: this stretch of scene 2 as the release captures it.
constexpr int kSplitFps = 60;
constexpr float kSplitSeconds = 4.0f;
constexpr int kSplitParts = 2;

// The capture pipeline's own time (first frame to ffmpeg's exit) for the first seconds of `span`.
double captureOnce(const ShowSpan& span, Size size, const std::string& ffmpeg, const std::string& out)
{
    CaptureOptions options;
    options.from = span.from;
    options.to = span.from + kSizeSeconds;
    options.fps = kSizeFps;
    options.width = size.width;
    options.height = size.height;
    options.quality = Quality::Draft;
    options.out = out;
    const double seconds = runCapture(options, ffmpeg, nullptr, nullptr).seconds;
    std::remove(out.c_str());
    return seconds;
}

struct SizeTimes {
    double small;
    double full;
    double fourK;
};

// The fastest of kSizeRuns rounds of the three sizes, taken in turn.
SizeTimes captureSizes(const ShowSpan& span, const std::string& ffmpeg, const std::string& out)
{
    SizeTimes best{1e9, 1e9, 1e9};
    for (int run = 0; run < kSizeRuns; ++run) {
        best.small = std::min(best.small, captureOnce(span, kSmall, ffmpeg, out));
        best.full = std::min(best.full, captureOnce(span, kFull, ffmpeg, out));
        best.fourK = std::min(best.fourK, captureOnce(span, kFourK, ffmpeg, out));
    }
    return best;
}

// demo-capture run to its end with `args`; its wall time in seconds.
double timedCapture(const std::vector<std::string>& args)
{
    const Clock::time_point start = Clock::now();
    const ProgramRun run = runProgram(DEMO_CAPTURE, args);
    if (!run.ok)
        throw std::runtime_error("demo-capture failed: " + run.output);
    return bench::elapsed(start);
}

void sizes(const std::string& ffmpeg, const std::string& out)
{
    std::printf("%-18s %12s %12s %12s %9s %9s   (%d frames of each at %d fps, draft quality, best of %d)\n",
                "frames of", "320x180 s", "1920x1080 s", "3840x2160 s", "small", "4K", int(kSizeSeconds * kSizeFps),
                kSizeFps, kSizeRuns);
    bool met = true;
    for (const ShowSpan& span : kSceneSpans) {
        const SizeTimes t = captureSizes(span, ffmpeg, out);
        met = met && t.small <= kSmallLimit * t.full && t.fourK <= kFourKLimit * t.full;
        std::printf("%-18s %12.2f %12.2f %12.2f %8.3fx %8.2fx\n", span.name, t.small, t.full, t.fourK,
                    t.small / t.full, t.fourK / t.full);
    }
    std::printf("320x180 <= %.2f x 1920x1080 and 3840x2160 <= %.1f x 1920x1080 in every scene: %s\n", kSmallLimit,
                kFourKLimit, met ? "met" : "MISSED");
}

void split(const std::string& stem)
{
    const ShowSpan& span = kSceneSpans[1];
    const std::vector<std::string> range = {"--from", std::to_string(span.from), "--to",
                                            std::to_string(span.from + kSplitSeconds), "--fps",
                                            std::to_string(kSplitFps), "--quality", "release"};
    std::vector<std::string> whole = range;
    whole.insert(whole.end(), {"--out", stem + ".whole.mp4"});
    const double one = timedCapture(whole);

    std::vector<std::string> join = {"--join", "--out", stem + ".joined.mp4"};
    std::vector<std::thread> processes;
    std::vector<std::exception_ptr> failures(kSplitParts);
    const Clock::time_point start = Clock::now();
    for (int piece = 1; piece <= kSplitParts; ++piece) {
        std::vector<std::string> part = range;
        const std::string path = stem + ".part" + std::to_string(piece) + ".mkv";
        part.insert(part.end(), {"--piece", std::to_string(piece) + "/" + std::to_string(kSplitParts), "--part", path});
        join.push_back(path);
        processes.emplace_back([part, piece, &failures] {
            try {
                timedCapture(part);
            } catch (...) {
                failures[piece - 1] = std::current_exception();
            }
        });
    }
    for (std::thread& process : processes)
        process.join();
    const double parts = bench::elapsed(start);
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
    const double joining = timedCapture(join);
    for (const std::string& path : join)
        if (path.find(stem) == 0)
            std::remove(path.c_str());
    std::remove((stem + ".whole.mp4").c_str());

    std::printf("%.0f s of %s at 1920x1080, %d fps, release quality, on %u cores:\n", double(kSplitSeconds), span.name,
                kSplitFps, std::thread::hardware_concurrency());
    std::printf("  one process               %8.2f s\n", one);
    std::printf("  %d parts at once           %8.2f s\n", kSplitParts, parts);
    std::printf("  their join                %8.2f s  (%.0f%% of the split's time)\n", joining,
                100.0 * joining / (parts + joining));
    std::printf("  split and joined: speed-up %.2fx\n", one / (parts + joining));
}

}  // namespace

int main(int argc, char** argv)
{
    operandsOrExit(argc, argv, "capture_scale_bench", kUsage, 0, 0);
    const std::string ffmpeg = findFfmpegTool("capture_scale_bench", "ffmpeg");
    if (ffmpeg.empty())
        return 1;
    const std::string stem = "/tmp/capture_scale_bench." + std::to_string(getpid());
    try {
        sizes(ffmpeg, stem + ".mp4");
        std::printf("\n");
        split(stem);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "capture_scale_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
