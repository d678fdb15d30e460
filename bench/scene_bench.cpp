// Frame-time benchmark of the three scenes: renders evenly spaced frames of each scene's span
// off-screen at the show's 1920x1080 and prints the median and 95th percentile per scene,
// against the budget of a steady 60 frames per second on a laptop's GPU (50 ms and 80 ms on
// Mesa's software renderer). Run it from build/, where the demo's data sit.
#include <glad/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

#include "offscreen.hpp"
#include "scenes.hpp"
#include "window.hpp"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultFramesPerScene = 40;
constexpr double kMedianBudgetMs = 50.0;
constexpr double kP95BudgetMs = 80.0;

struct Span {
    const char* name;
    float from;
    float to;
};

// Strictly inside each scene's span, so every frame draws its scene.
constexpr Span kSpans[] = {
    {"scene 1 (picture)", 0.0f, 9.0f},
    {"scene 2 (spheres)", 10.0f, 45.0f},
    {"scene 3 (tunnel)", 46.0f, 109.0f},
};

double frameMs(const Scenes& scenes, float t)
{
    const Clock::time_point start = Clock::now();
    renderFrame(scenes, t);
    glFinish();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const std::size_t index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

}  // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::max(2, std::atoi(argv[1])) : kDefaultFramesPerScene;
    try {
        const OffscreenTarget target(kWindowWidth, kWindowHeight);
        const Scenes scenes = loadScenes();
        std::printf("%-20s %7s %10s %10s   (%d frames each, %dx%d, %s)\n", "scene", "frames", "median",
                    "p95", frames, target.width(), target.height(),
                    reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
        bool withinBudget = true;
        for (const Span& span : kSpans) {
            frameMs(scenes, span.from + 0.5f);  // the driver compiles the program on its first draw
            std::vector<double> times;
            for (int i = 1; i <= frames; ++i)
                times.push_back(frameMs(scenes, span.from + (span.to - span.from) * i / (frames + 1)));
            const double median = percentile(times, 0.5);
            const double p95 = percentile(times, 0.95);
            withinBudget = withinBudget && median <= kMedianBudgetMs && p95 <= kP95BudgetMs;
            std::printf("%-20s %7d %7.1f ms %7.1f ms\n", span.name, frames, median, p95);
        }
        std::printf("budget: median <= %.0f ms, p95 <= %.0f ms: %s\n", kMedianBudgetMs, kP95BudgetMs,
                    withinBudget ? "met" : "MISSED");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "scene_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
