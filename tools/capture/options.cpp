// demo-capture's option parsing; see options.hpp.
#include "options.hpp"

#include <cmath>

#include "show/show_size.hpp"
#include "show/timeline.hpp"
#include "tooling/command_line.hpp"

namespace {

constexpr int kDefaultFps = 60;
constexpr int kMaxFps = 1000;
constexpr int kMinSide = 2;
constexpr int kMaxSide = 8192;
// Bounds given in decimal seconds are rarely exact multiples of 1/fps in binary; a bound
// within this many frames of a frame's time counts as that frame's time.
constexpr double kFrameSlack = 1e-6;

const std::vector<OptionSpec> kOptions{{"--out", true}, {"--frames", true}, {"--fps", true},
    {"--size", true}, {"--from", true}, {"--to", true}, {"--flash-report", false}};

// Takes one option's value into `options`; false when the value is bad.
bool take(const CommandLine::Given& given, CaptureOptions& options)
{
    const std::string& name = given.name;
    const std::string& value = given.value;
    if (name == "--flash-report") {
        options.flashReport = true;
        return true;
    }
    if (name == "--out")
        return !(options.out = value).empty();
    if (name == "--frames")
        return !(options.framesDir = value).empty();
    if (name == "--fps")
        return readCount(value, options.fps) && options.fps >= 1 && options.fps <= kMaxFps;
    if (name == "--size")
        return readSize(value, options.width, options.height) && options.width >= kMinSide
            && options.height >= kMinSide && options.width <= kMaxSide && options.height <= kMaxSide;
    if (name == "--from")
        return readNumber(value, options.from);
    return readNumber(value, options.to);
}

}  // namespace

long CaptureOptions::firstFrame() const
{
    return static_cast<long>(std::ceil(from * fps - kFrameSlack));
}

long CaptureOptions::endFrame() const
{
    return static_cast<long>(std::ceil(to * fps - kFrameSlack));
}

bool parseCaptureOptions(const std::vector<std::string>& args, CaptureOptions& options,
                         std::string& error)
{
    options = CaptureOptions{};
    options.to = static_cast<double>(kDemoEnd);
    options.fps = kDefaultFps;
    options.width = kShowWidth;
    options.height = kShowHeight;

    CommandLine line;
    if (!readCommandLine(args, kOptions, 0, 0, line, error))
        return false;
    options.help = line.help;
    if (options.help)
        return true;
    if (!takeOptions(line, [&](const CommandLine::Given& given) { return take(given, options); }, error))
        return false;

    const double end = static_cast<double>(kDemoEnd);
    if (options.out.empty() == options.framesDir.empty())
        error = "give one of --out FILE or --frames DIR";
    else if (options.from < 0.0 || options.to > end || options.from >= options.to)
        error = "the range must lie within 0 to " + std::to_string(static_cast<int>(end))
              + " seconds with --from before --to";
    else if (options.frameCount() < 1)
        error = "the range holds no frame at this frame rate";
    else if (!options.out.empty() && (options.width % 2 != 0 || options.height % 2 != 0))
        error = "H.264 in yuv420p needs an even width and height";
    return error.empty();
}

std::string captureUsage()
{
    return R"(usage: demo-capture (--out FILE.mp4 | --frames DIR) [options]
Renders the demo's schedule off-screen at 1920x1080 with t = frame / fps and encodes it
with ffmpeg: an MP4 (H.264, AAC soundtrack), or numbered PNGs plus a WAV in DIR.
Run it from the build directory, where the demo's data sit.
  --out FILE     MP4 file to write (replaced if it exists)
  --frames DIR   write frame-NNNNNN.png (N = frame number) and soundtrack.wav to DIR,
                 which must not exist or be empty
  --fps N        frames per second (default 60)
  --size WxH     encoded size, scaled by ffmpeg (default 1920x1080)
  --from S       first second of demo time (default 0)
  --to S         end of the capture, exclusive (default 109, the end of the show)
  --flash-report then list where what was captured flashes more than a photosensitive
                 viewer can take, as demo-check --flashes does for the whole show
  --help         this text
)";
}
