// The capture pipeline; see capture.hpp. Frame n is rendered, its read-back started, and
// the frame read two passes earlier is copied from its mapped buffer to the encoder's ring,
// so rendering, read-back, the pipe write and ffmpeg's encoding all overlap.
#include "capture.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "encoder.hpp"
#include "show/show_size.hpp"
#include "readback.hpp"
#include "show/scenes.hpp"
#include "show/show_data.hpp"
#include "soundtrack.hpp"
#include "tooling/flash_pass.hpp"
#include "tooling/flash_report.hpp"
#include "tooling/offscreen.hpp"
#include "tooling/progress.hpp"
#include "show/picture.hpp"
#include "tooling/pixels.hpp"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFramePattern = "frame-%06d.png";
constexpr const char* kFramesSoundtrack = "soundtrack.wav";
constexpr const char* kVideoCodecArgs[] = {"-c:v", "libx264", "-preset", "ultrafast", "-crf", "18",
                                           "-pix_fmt", "yuv420p"};
constexpr const char* kAudioCodecArgs[] = {"-c:a", "aac", "-b:a", "192k"};
constexpr mode_t kCreateMode = 0666;

// A temporary file or directory beside `finalPath` (same file system, so the rename at the
// end is atomic), removed unless committed.
class PendingPath {
public:
    enum class Kind { File, Directory };

    PendingPath(const std::string& finalPath, Kind kind, const std::string& suffix = "")
        : final_(finalPath)
    {
        const fs::path target(finalPath);
        const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
        std::string pattern = (dir / ("." + target.filename().string() + ".partial-XXXXXX")).string() + suffix;
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (kind == Kind::Directory) {
            if (mkdtemp(name.data()) == nullptr)
                throw std::runtime_error("cannot create a directory in " + dir.string() + ": " + std::strerror(errno));
        } else {
            const int fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
            if (fd < 0)
                throw std::runtime_error("cannot create a file in " + dir.string() + ": " + std::strerror(errno));
            // mkstemp's 0600 would survive the rename; give the file the usual mode instead.
            const mode_t mask = umask(0);
            umask(mask);
            fchmod(fd, kCreateMode & ~mask);
            close(fd);
        }
        path_ = name.data();
    }
    ~PendingPath()
    {
        if (!committed_) {
            std::error_code ignored;
            fs::remove_all(path_, ignored);
        }
    }
    PendingPath(const PendingPath&) = delete;
    PendingPath& operator=(const PendingPath&) = delete;

    const std::string& path() const { return path_; }

    void commit()
    {
        if (std::rename(path_.c_str(), final_.c_str()) != 0)
            throw std::runtime_error("cannot rename " + path_ + " to " + final_ + ": " + std::strerror(errno));
        committed_ = true;
    }

private:
    std::string final_;
    std::string path_;
    bool committed_ = false;
};

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

// One captured frame (bottom row first, at the show's size) into the flash analyser.
void analyse(FlashAnalyser& flashes, const std::uint8_t* rgba, std::vector<std::uint8_t>& topFirst)
{
    const std::size_t row = std::size_t(kShowWidth) * 4;
    topFirst.assign(rgba, rgba + row * kShowHeight);
    flipRows(topFirst.data(), row, kShowHeight);
    flashes.addRgba(downscaleRgba(topFirst, kShowWidth, kShowHeight, FlashPass::kWidth, FlashPass::kHeight).data());
}

}  // namespace

std::vector<std::string> ffmpegArgs(const CaptureOptions& options, const std::string& soundtrack,
                                    const std::string& output, long firstFrame)
{
    std::vector<std::string> args = {
        "-hide_banner", "-loglevel", "error", "-nostats",
        "-f", "rawvideo", "-pix_fmt", "rgba",
        "-s", std::to_string(kShowWidth) + "x" + std::to_string(kShowHeight),
        "-framerate", std::to_string(options.fps), "-i", "-"};
    // Frames arrive bottom row first, as OpenGL reads them.
    std::string filters = "vflip";
    if (options.width != kShowWidth || options.height != kShowHeight)
        filters += ",scale=" + std::to_string(options.width) + ":" + std::to_string(options.height);
    if (options.framesDir.empty()) {
        args.insert(args.end(), {"-i", soundtrack, "-map", "0:v", "-map", "1:a", "-vf", filters});
        args.insert(args.end(), std::begin(kVideoCodecArgs), std::end(kVideoCodecArgs));
        args.insert(args.end(), std::begin(kAudioCodecArgs), std::end(kAudioCodecArgs));
        args.insert(args.end(), {"-f", "mp4", "-y", output});
    } else {
        args.insert(args.end(), {"-vf", filters, "-pix_fmt", "rgb24", "-start_number",
                                 std::to_string(firstFrame), "-f", "image2", "-y",
                                 (fs::path(output) / kFramePattern).string()});
    }
    return args;
}

CaptureStats runCapture(const CaptureOptions& options, const std::string& ffmpeg, std::FILE* progress,
                        bool (*stop)())
{
    checkDemoData();
    checkDestination(options);
    const bool video = options.framesDir.empty();
    const long first = options.firstFrame();
    const long count = options.frameCount();

    PendingPath output(video ? options.out : options.framesDir,
                             video ? PendingPath::Kind::File : PendingPath::Kind::Directory);
    // For an MP4 the soundtrack is only ffmpeg's input; for frames it is part of the result.
    std::unique_ptr<PendingPath> muxedSoundtrack;
    std::string soundtrack = (fs::path(output.path()) / kFramesSoundtrack).string();
    if (video) {
        muxedSoundtrack = std::make_unique<PendingPath>(options.out, PendingPath::Kind::File, ".wav");
        soundtrack = muxedSoundtrack->path();
    }
    writeSoundtrack(kTunePath, static_cast<double>(first) / options.fps,
                    static_cast<double>(count) / options.fps, soundtrack);

    const OffscreenTarget target(kShowWidth, kShowHeight);
    const Scenes scenes = loadScenes();
    PboRing ring(kShowWidth, kShowHeight);
    FfmpegEncoder encoder(ffmpeg, ffmpegArgs(options, soundtrack, output.path(), first), ring.frameBytes());

    // What the flash check sees: each frame averaged down to its size, top row first.
    std::optional<FlashAnalyser> flashes;
    if (options.flashReport)
        flashes.emplace(FlashPass::kWidth, FlashPass::kHeight, options.fps, static_cast<double>(first) / options.fps);
    std::vector<std::uint8_t> frame(ring.frameBytes());

    const auto start = std::chrono::steady_clock::now();
    Progress meter(count, progress);
    for (long i = 0; i < count + PboRing::kLag; ++i) {
        if (stop != nullptr && stop())
            throw std::runtime_error("interrupted");
        if (i < count) {
            renderFrame(scenes, frameTime(first + i, options.fps));
            ring.read(i);
        }
        if (i >= PboRing::kLag) {
            const long ready = i - PboRing::kLag;
            std::uint8_t* buffer = encoder.nextBuffer();
            std::memcpy(buffer, ring.map(ready), ring.frameBytes());
            ring.unmap();
            if (flashes)
                analyse(*flashes, buffer, frame);
            encoder.submit();
            meter.update(ready + 1);
        }
    }
    encoder.finish();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    meter.finish();
    output.commit();
    if (flashes)
        reportFlashes(*flashes, stdout, "demo-capture");
    return {count, seconds};
}
