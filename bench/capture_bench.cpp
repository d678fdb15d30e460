// Capture overhead: for a stretch of each scene at 1920x1080, demo-capture's whole pipeline
// against the two costs it cannot avoid, measured in the same run: rendering the frames alone
// (draw and glFinish, nothing read back) and ffmpeg encoding those very frames, read from a
// file, with the capture's own arguments (at draft quality: what is timed is the pipeline, not
// the encoder's effort). The capture should take at most 1.15 times their sum; with cores to
// spare it overlaps them and takes less. Run it from build/.
#include <glad/gl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <stdexcept>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "capture.hpp"
#include "encoder.hpp"
#include "options.hpp"
#include "show/scenes.hpp"
#include "show/show_data.hpp"
#include "show/show_size.hpp"
#include "show_spans.hpp"
#include "soundtrack.hpp"
#include "stats.hpp"
#include "tooling/command_line.hpp"
#include "tooling/offscreen.hpp"

extern char** environ;

namespace {

constexpr const char* kUsage = R"(usage: capture_bench
Times demo-capture's pipeline over a stretch of each scene at 1920x1080 against rendering
the frames alone and ffmpeg encoding them alone, and prints the ratio. Run it from build/.
)";

using bench::Clock;

constexpr double kOverheadLimit = 1.15;
constexpr int kFps = 30;

// Ten seconds of each scene from its start (scene 1 lasts nine, all of which are taken).
constexpr float kRunSeconds = 10.0f;

// Renders the options' frames in a fresh context as the capture renders them and returns the
// time spent drawing them; each frame is then read back, untimed, into `rawPath` as the
// capture hands it to ffmpeg (RGBA, bottom row first).
double renderOnlySeconds(const CaptureOptions& options, const std::string& rawPath)
{
    const OffscreenTarget target(kShowWidth, kShowHeight);
    const Scenes scenes = loadScenes();
    std::vector<unsigned char> frame(static_cast<std::size_t>(kShowWidth) * kShowHeight * 4);
    std::FILE* raw = std::fopen(rawPath.c_str(), "wb");
    if (raw == nullptr)
        throw std::runtime_error("cannot write " + rawPath);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    double seconds = 0.0;
    for (long n = options.firstFrame(); n < options.endFrame(); ++n) {
        const Clock::time_point start = Clock::now();
        renderFrame(scenes, frameTime(n, options.fps));
        glFinish();
        seconds += bench::elapsed(start);
        glReadPixels(0, 0, kShowWidth, kShowHeight, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
        if (std::fwrite(frame.data(), 1, frame.size(), raw) != frame.size()) {
            std::fclose(raw);
            throw std::runtime_error("cannot write " + rawPath);
        }
    }
    if (std::fclose(raw) != 0)
        throw std::runtime_error("cannot write " + rawPath);
    return seconds;
}

// ffmpeg's wall time, from its start to its exit, with the raw frames on its standard input.
double encodeOnlySeconds(const std::string& ffmpeg, const std::vector<std::string>& args,
                         const std::string& rawPath)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, rawPath.c_str(), O_RDONLY, 0);
    std::vector<char*> argv{const_cast<char*>(ffmpeg.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const Clock::time_point start = Clock::now();
    pid_t child = -1;
    const int spawned = posix_spawn(&child, ffmpeg.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + ffmpeg);
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    const double seconds = bench::elapsed(start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("ffmpeg failed on the raw frames");
    return seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    operandsOrExit(argc, argv, "capture_bench", kUsage, 0, 0);
    const std::string ffmpeg = findFfmpegTool("capture_bench", "ffmpeg");
    if (ffmpeg.empty())
        return 1;
    const std::string stem = "/tmp/capture_bench." + std::to_string(getpid());
    const std::string out = stem + ".mp4";
    const std::string raw = stem + ".rgba";
    const std::string soundtrack = stem + ".wav";
    const auto removeAll = [&] {
        std::remove(out.c_str());
        std::remove(raw.c_str());
        std::remove(soundtrack.c_str());
    };
    try {
        std::printf("%-18s %6s %10s %10s %10s %8s   (%dx%d at %d fps, H.264 by ffmpeg, %u cores)\n",
                    "frames of", "frames", "render s", "encode s", "capture s", "ratio", kShowWidth,
                    kShowHeight, kFps, std::thread::hardware_concurrency());
        bool met = true;
        for (const ShowSpan& run : kSceneSpans) {
            CaptureOptions options;
            options.from = run.from;
            options.to = std::min(run.to, run.from + kRunSeconds);
            options.fps = kFps;
            options.width = kShowWidth;
            options.height = kShowHeight;
            options.out = out;
            options.quality = Quality::Draft;
            const long first = options.firstFrame();
            const long count = options.frameCount();

            const double render = renderOnlySeconds(options, raw);
            writeSoundtrack(kTunePath, static_cast<double>(first) / kFps, static_cast<double>(count) / kFps,
                            soundtrack);
            const double encode = encodeOnlySeconds(ffmpeg, ffmpegArgs(options, soundtrack, out, first), raw);
            std::remove(raw.c_str());
            std::remove(out.c_str());
            const CaptureStats capture = runCapture(options, ffmpeg, nullptr, nullptr);
            removeAll();

            const double ratio = capture.seconds / (render + encode);
            met = met && ratio <= kOverheadLimit;
            std::printf("%-18s %6ld %10.2f %10.2f %10.2f %8.3f\n", run.name, capture.frames, render, encode,
                        capture.seconds, ratio);
        }
        std::printf("capture / (render-only + encode-only) <= %.2f in every scene: %s\n", kOverheadLimit,
                    met ? "met" : "MISSED");
    } catch (const std::exception& failure) {
        removeAll();
        std::fprintf(stderr, "capture_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
