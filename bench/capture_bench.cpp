// Capture throughput against rendering alone: the rate of rendering a run of frames (draw and
// glFinish, nothing read back) and the rate of demo-capture's whole pipeline on the same
// frames (read-back ring, pipe, ffmpeg's H.264 at 1920x1080 into a temporary MP4), for a
// second of each scene and for the whole show sampled once a second, the figure that should
// stay at 0.8 or more. Run it from build/.
#include <glad/gl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "capture.hpp"
#include "encoder.hpp"
#include "offscreen.hpp"
#include "options.hpp"
#include "scenes.hpp"
#include "window.hpp"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kTargetRatio = 0.8;

struct Run {
    const char* name;
    double from;
    double to;
    int fps;
};

// A second well inside each scene, then the whole show with each second's first frame.
constexpr Run kRuns[] = {
    {"scene 1 (picture)", 3.0, 4.0, 30},
    {"scene 2 (spheres)", 20.0, 21.0, 30},
    {"scene 3 (tunnel)", 60.0, 61.0, 30},
    {"whole show, 1 fps", 0.0, 109.0, 1},
};

// Seconds to render the options' frames in a fresh context, as the capture renders them.
double renderOnlySeconds(const CaptureOptions& options)
{
    const OffscreenTarget target(kWindowWidth, kWindowHeight);
    const Scenes scenes = loadScenes();
    const Clock::time_point start = Clock::now();
    for (long frame = options.firstFrame(); frame < options.endFrame(); ++frame) {
        renderFrame(scenes, frameTime(frame, options.fps));
        glFinish();
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main()
{
    const std::string ffmpeg = findOnPath("ffmpeg");
    if (ffmpeg.empty()) {
        std::fprintf(stderr, "capture_bench: ffmpeg is not on the PATH (Debian package 'ffmpeg')\n");
        return 1;
    }
    const std::string out = "/tmp/capture_bench." + std::to_string(getpid()) + ".mp4";
    try {
        std::printf("%-20s %7s %14s %14s %7s   (%dx%d, H.264 by ffmpeg)\n", "frames of", "frames",
                    "render-only", "capture", "ratio", kWindowWidth, kWindowHeight);
        double ratio = 0.0;
        for (const Run& run : kRuns) {
            CaptureOptions options;
            options.from = run.from;
            options.to = run.to;
            options.fps = run.fps;
            options.width = kWindowWidth;
            options.height = kWindowHeight;
            options.out = out;
            const double render = renderOnlySeconds(options);
            const CaptureStats capture = runCapture(options, ffmpeg, nullptr, nullptr);
            std::remove(out.c_str());
            const double n = static_cast<double>(capture.frames);
            ratio = render / capture.seconds;
            std::printf("%-20s %7ld %10.1f fps %10.1f fps %7.2f\n", run.name, capture.frames, n / render,
                        n / capture.seconds, ratio);
        }
        std::printf("whole show: capture at %.2f of the render-only rate (target >= %.1f: %s)\n", ratio,
                    kTargetRatio, ratio >= kTargetRatio ? "met" : "MISSED");
    } catch (const std::exception& error) {
        std::remove(out.c_str());
        std::fprintf(stderr, "capture_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
