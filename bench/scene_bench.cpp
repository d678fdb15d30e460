// Frame-time benchmark of the three scenes: renders evenly spaced frames of each scene's span
// off-screen at the show's 1920x1080 and prints the median and 95th percentile per scene next
// to a yardstick's: the sphere scene as it was before its shots (bench/yardstick/), drawn at the
// same times as today's scene 2. The budget is that no scene costs more than the yardstick.
// Frames of all four are taken in turn, so a machine that slows down slows them alike, and
// each frame is drawn twice and timed by the faster draw, so that another program's burst of
// work on the machine doesn't pass for a costly frame. Run it from build/, where the demo's
// data sit.
#include <glad/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <stdexcept>
#include <vector>

#include "show/program_builder.hpp"
#include "show/scenes.hpp"
#include "show/show_size.hpp"
#include "show_spans.hpp"
#include "stats.hpp"
#include "tooling/command_line.hpp"
#include "tooling/offscreen.hpp"

namespace {

using bench::Clock;

constexpr int kDefaultFramesPerScene = 40;
constexpr int kMinFramesPerScene = 2;  // a median needs two
constexpr const char* kUsage = R"(usage: scene_bench [FRAMES]
Renders FRAMES frames (default 40) of each scene off-screen at 1920x1080 and prints each one's
median and 95th percentile frame time against the yardstick's. Run it from build/.
)";
constexpr int kDrawsPerFrame = 2;
constexpr double kP95 = 0.95;

// Drawn over scene 2's span, as today's scene 2 is.
constexpr ShowSpan kYardstick = {"yardstick", kSceneSpans[1].from, kSceneSpans[1].to};

double frameMs(const Scenes& scenes, float t)
{
    double fastest = 0.0;
    for (int draw = 0; draw < kDrawsPerFrame; ++draw) {
        const Clock::time_point start = Clock::now();
        renderFrame(scenes, t);
        glFinish();
        const double ms = bench::elapsed<std::milli>(start);
        fastest = draw == 0 ? ms : std::min(fastest, ms);
    }
    return fastest;
}

float frameTime(const ShowSpan& span, int i, int frames)
{
    return span.from + (span.to - span.from) * static_cast<float>(i) / static_cast<float>(frames + 1);
}

// The show's scenes with scene 2 drawn by the yardstick's program.
Scenes yardstickScenes()
{
    Scenes scenes = loadScenes();
    const ProgramBuild build = buildProgram(YARDSTICK_DIR "/SphereTest1.vs", YARDSTICK_DIR "/First.fs", BuildLogs::Demo);
    if (!build.sourcesRead() || !build.vertex.compile.ok || !build.fragment.compile.ok || !build.link.ok)
        throw std::runtime_error("the yardstick in " YARDSTICK_DIR " does not build");
    replaceProgram(scenes, Cue::Scene2, build.program);
    return scenes;
}

}  // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    std::string error;
    int frames = kDefaultFramesPerScene;
    if (readCommandLine({argv + 1, argv + argc}, {}, 0, 1, line, error) && !line.operands.empty() &&
        (!readCount(line.operands[0], frames) || frames < kMinFramesPerScene))
        error = badValue("frame count", line.operands[0]) + ": give " + std::to_string(kMinFramesPerScene) + " or more";
    if (const std::optional<int> status = answerCommandLine("scene_bench", kUsage, line.help, error))
        return *status;
    try {
        const OffscreenTarget target(kShowWidth, kShowHeight);
        const Scenes scenes = loadScenes();
        const Scenes yardstick = yardstickScenes();
        // The driver compiles a program on its first draw.
        for (const ShowSpan& span : kSceneSpans)
            frameMs(scenes, span.from + 0.5f);
        frameMs(yardstick, kYardstick.from + 0.5f);

        std::vector<std::vector<double>> times(std::size(kSceneSpans) + 1);
        for (int i = 1; i <= frames; ++i) {
            times.back().push_back(frameMs(yardstick, frameTime(kYardstick, i, frames)));
            for (std::size_t s = 0; s < std::size(kSceneSpans); ++s)
                times[s].push_back(frameMs(scenes, frameTime(kSceneSpans[s], i, frames)));
        }

        std::printf("%-20s %7s %10s %10s   (%d frames each, %dx%d, %s)\n", "scene", "frames", "median",
                    "p95", frames, target.width(), target.height(),
                    reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
        const double yardMedian = bench::median(times.back());
        const double yardP95 = bench::percentile(times.back(), kP95);
        bool within = true;
        for (std::size_t s = 0; s < std::size(kSceneSpans); ++s) {
            const double median = bench::median(times[s]);
            const double p95 = bench::percentile(times[s], kP95);
            within = within && median <= yardMedian && p95 <= yardP95;
            std::printf("%-20s %7d %7.1f ms %7.1f ms   (%.2f, %.2f of the yardstick's)\n", kSceneSpans[s].name, frames,
                        median, p95, median / yardMedian, p95 / yardP95);
        }
        std::printf("%-20s %7d %7.1f ms %7.1f ms   (scene 2 before its shots, over its span)\n", kYardstick.name,
                    frames, yardMedian, yardP95);
        std::printf("budget: each scene's median and p95 at most the yardstick's: %s\n", within ? "met" : "MISSED");
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "scene_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
