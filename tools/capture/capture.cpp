// The capture pipeline; see capture.hpp. Frame n is rendered, its read-back started, and
// the frame read two passes earlier is copied from its mapped buffer to the encoder's ring,
// so rendering, read-back, the pipe write and ffmpeg's encoding all overlap.
#include "capture.hpp"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "encoder.hpp"
#include "join.hpp"
#include "loudness.hpp"
#include "pending_path.hpp"
#include "readback.hpp"
#include "show/picture.hpp"
#include "show/scenes.hpp"
#include "show/show_data.hpp"
#include "soundtrack.hpp"
#include "tooling/flash_pass.hpp"
#include "tooling/flash_report.hpp"
#include "tooling/offscreen.hpp"
#include "tooling/pixels.hpp"
#include "tooling/progress.hpp"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFramePattern = "frame-%06d.png";
constexpr const char* kFramesSoundtrack = "soundtrack.wav";
// The release: x264's slow preset at CRF 18, closer to the lossless frames than ultrafast at the
// same CRF in two fifths of its size (README: capturing the show); a higher CRF saves a little
// more and takes detail that the platforms' own encoding then loses again. A draft: fast, for a
// look.
constexpr const char* kReleaseArgs[] = {"-preset", "slow", "-crf", "18"};
constexpr const char* kDraftArgs[] = {"-preset", "veryfast", "-crf", "23"};
constexpr const char* kVideoArgs[] = {"-c:v", "libx264", "-profile:v", "high", "-pix_fmt", "yuv420p",
                                      "-color_primaries", "bt709", "-color_trc", "bt709", "-colorspace", "bt709",
                                      "-color_range", "tv"};
constexpr const char* kAudioArgs[] = {"-c:a", "aac", "-b:a", "256k", "-movflags", "+faststart"};
// A part: FFV1 in Matroska, lossless, every frame a key frame; its range in its tags (join.hpp).
constexpr const char* kPartArgs[] = {"-c:v", "ffv1", "-level", "3", "-g", "1", "-slices", "4", "-pix_fmt", "bgr0"};

// The files the demo reads from its working directory; a capture started elsewhere would
// quietly render black frames, so it is refused instead.
void checkDemoData()
{
    for (const std::string& path : showDataFiles()) {
        if (access(path.c_str(), R_OK) != 0)
            throw std::runtime_error("cannot read " + path
                                     + " (run demo-capture from the build directory, where the demo's data sit)");
    }
}

void checkDestination(const CaptureOptions& options)
{
    std::error_code error;
    if (!options.framesDir.empty()) {
        const fs::path dir(options.framesDir);
        if (fs::exists(dir, error) && (!fs::is_directory(dir, error) || !fs::is_empty(dir, error)))
            throw std::runtime_error(options.framesDir + " exists and is not an empty directory");
    } else if (fs::is_directory(options.out, error)) {
        throw std::runtime_error(options.out + " is a directory");
    }
}

// The size the flash check sees a capture at: the flash pass's, or the capture's own if smaller.
int flashSide(int side, int passSide)
{
    return std::min(side, passSide);
}

// One captured frame (bottom row first, at the capture's size) into the flash analyser.
void analyse(FlashAnalyser& flashes, const CaptureOptions& options, const std::uint8_t* rgba,
             std::vector<std::uint8_t>& topFirst)
{
    const std::size_t row = std::size_t(options.width) * 4;
    topFirst.assign(rgba, rgba + row * std::size_t(options.height));
    flipRows(topFirst.data(), row, options.height);
    flashes.addRgba(downscaleRgba(topFirst, options.width, options.height, flashSide(options.width, FlashPass::kWidth),
                                  flashSide(options.height, FlashPass::kHeight)).data());
}

}  // namespace

std::vector<std::string> mp4Args(Quality quality, double gainDb)
{
    std::vector<std::string> args(std::begin(kVideoArgs), std::end(kVideoArgs));
    if (quality == Quality::Release)
        args.insert(args.end(), std::begin(kReleaseArgs), std::end(kReleaseArgs));
    else
        args.insert(args.end(), std::begin(kDraftArgs), std::end(kDraftArgs));
    if (gainDb != 0.0)
        args.insert(args.end(), {"-af", "volume=" + std::to_string(gainDb) + "dB"});
    args.insert(args.end(), std::begin(kAudioArgs), std::end(kAudioArgs));
    return args;
}

std::vector<std::string> ffmpegArgs(const CaptureOptions& options, const std::string& soundtrack,
                                    const std::string& output, long firstFrame, double gainDb)
{
    std::vector<std::string> args = {
        "-hide_banner", "-loglevel", "error", "-nostats",
        "-f", "rawvideo", "-pix_fmt", "rgba",
        "-s", std::to_string(options.width) + "x" + std::to_string(options.height),
        "-framerate", std::to_string(options.fps), "-i", "-"};
    // Frames arrive bottom row first, as OpenGL reads them.
    if (!options.out.empty()) {
        args.insert(args.end(), {"-i", soundtrack, "-map", "0:v", "-map", "1:a", "-vf", std::string("vflip,") + kToVideo});
        const std::vector<std::string> encoding = mp4Args(options.quality, gainDb);
        args.insert(args.end(), encoding.begin(), encoding.end());
        args.insert(args.end(), {"-f", "mp4", "-y", output});
    } else if (!options.part.empty()) {
        args.insert(args.end(), {"-vf", "vflip"});
        args.insert(args.end(), std::begin(kPartArgs), std::end(kPartArgs));
        args.insert(args.end(), {"-metadata", kPartFirstFrame + std::string("=") + std::to_string(firstFrame),
                                 "-metadata", kPartFrames + std::string("=") + std::to_string(options.frameCount()),
                                 "-metadata", kPartFps + std::string("=") + std::to_string(options.fps),
                                 "-f", "matroska", "-y", output});
    } else {
        args.insert(args.end(), {"-vf", "vflip", "-pix_fmt", "rgb24", "-start_number", std::to_string(firstFrame),
                                 "-f", "image2", "-y", (fs::path(output) / kFramePattern).string()});
    }
    return args;
}

double soundtrackGain(const CaptureOptions& options, const std::string& ffmpeg, const std::string& soundtrack,
                      std::FILE* report)
{
    const Loudness measured = measureLoudness(ffmpeg, soundtrack);
    if (report != nullptr)
        std::fprintf(report, "loudness of the soundtrack: %s\n", describeLoudness(measured).c_str());
    if (!options.loudness)
        return 0.0;
    const double gain = loudnessGain(measured, *options.loudness);
    if (report != nullptr)
        std::fprintf(report, "brought to %.1f LUFS (asked: %.1f) by %+.2f dB, true peak %.1f dBTP\n",
                     measured.integrated + gain, *options.loudness, gain, measured.truePeak + gain);
    return gain;
}

void reportEncodedLoudness(const std::string& ffmpeg, const std::string& video, std::FILE* report)
{
    if (report != nullptr)
        std::fprintf(report, "loudness as encoded: %s\n", describeLoudness(measureLoudness(ffmpeg, video)).c_str());
}

CaptureStats runCapture(const CaptureOptions& options, const std::string& ffmpeg, std::FILE* progress,
                        bool (*stop)(), std::FILE* report)
{
    checkDemoData();
    checkDestination(options);
    const bool video = !options.out.empty();
    const long first = options.firstFrame();
    const long count = options.frameCount();

    PendingPath output(options.framesDir.empty() ? video ? options.out : options.part : options.framesDir,
                       options.framesDir.empty() ? PendingPath::Kind::File : PendingPath::Kind::Directory);
    // For an MP4 the soundtrack is only ffmpeg's input; for frames it is part of the result; a
    // part has none (the join makes it once for the whole).
    std::unique_ptr<PendingPath> muxedSoundtrack;
    std::string soundtrack = (fs::path(output.path()) / kFramesSoundtrack).string();
    if (video) {
        muxedSoundtrack = std::make_unique<PendingPath>(options.out, PendingPath::Kind::File, ".wav");
        soundtrack = muxedSoundtrack->path();
    }
    double gain = 0.0;
    if (options.part.empty()) {
        writeSoundtrack(kTunePath, static_cast<double>(first) / options.fps,
                        static_cast<double>(count) / options.fps, soundtrack);
        gain = soundtrackGain(options, ffmpeg, soundtrack, report);
    }

    // ffmpeg first: its start-up (a third of a second here) overlaps the context's and the scenes'
    // instead of holding up the first frames.
    FfmpegEncoder encoder(ffmpeg, ffmpegArgs(options, soundtrack, output.path(), first, gain),
                          rgbaFrameBytes(options.width, options.height));
    const OffscreenTarget target(options.width, options.height, options.supersample);
    const Scenes scenes = loadScenes();
    PboRing ring(options.width, options.height);

    // What the flash check sees: each frame averaged down to its size, top row first.
    std::optional<FlashAnalyser> flashes;
    if (options.flashReport)
        flashes.emplace(flashSide(options.width, FlashPass::kWidth), flashSide(options.height, FlashPass::kHeight),
                        options.fps, static_cast<double>(first) / options.fps);
    std::vector<std::uint8_t> frame(ring.frameBytes());

    const auto start = std::chrono::steady_clock::now();
    Progress meter(count, progress);
    for (long i = 0; i < count + PboRing::kLag; ++i) {
        if (stop != nullptr && stop())
            throw std::runtime_error("interrupted");
        if (i < count) {
            target.beginFrame();
            renderFrame(scenes, frameTime(first + i, options.fps));
            target.endFrame();
            ring.read(i);
        }
        if (i >= PboRing::kLag) {
            const long ready = i - PboRing::kLag;
            std::uint8_t* buffer = encoder.nextBuffer();
            std::memcpy(buffer, ring.map(ready), ring.frameBytes());
            ring.unmap();
            if (flashes)
                analyse(*flashes, options, buffer, frame);
            encoder.submit();
            meter.update(ready + 1);
        }
    }
    encoder.finish();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    meter.finish();
    if (video)
        reportEncodedLoudness(ffmpeg, output.path(), report);
    output.commit();
    if (flashes && report != nullptr)
        reportFlashes(*flashes, report, "demo-capture");
    return {count, seconds};
}
