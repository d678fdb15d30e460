// demo-capture's option parsing; see options.hpp. Numbers are read strictly (the whole
// argument must be the number) so that "--fps 30x" is an error rather than 30.
#include "options.hpp"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "timeline.hpp"
#include "window.hpp"

namespace {

constexpr int kDefaultFps = 60;
constexpr int kMaxFps = 1000;
constexpr int kMinSide = 2;
constexpr int kMaxSide = 8192;
// Bounds given in decimal seconds are rarely exact multiples of 1/fps in binary; a bound
// within this many frames of a frame's time counts as that frame's time.
constexpr double kFrameSlack = 1e-6;

bool parseSeconds(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(value);
}

bool parseInt(const std::string& text, int& value)
{
    if (text.empty() || text[0] == '+' || text[0] == '-')
        return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed > kMaxSide * 1000L)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool parseSize(const std::string& text, int& width, int& height)
{
    const std::size_t x = text.find('x');
    return x != std::string::npos && parseInt(text.substr(0, x), width)
        && parseInt(text.substr(x + 1), height);
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
    options.width = kWindowWidth;
    options.height = kWindowHeight;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            return true;
        }
        if (name == "--flash-report") {
            options.flashReport = true;
            continue;
        }
        if (name != "--out" && name != "--frames" && name != "--fps" && name != "--size"
            && name != "--from" && name != "--to") {
            error = "unknown option '" + name + "'";
            return false;
        }
        if (i + 1 == args.size()) {
            error = name + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        bool ok = true;
        if (name == "--out")
            ok = !(options.out = value).empty();
        else if (name == "--frames")
            ok = !(options.framesDir = value).empty();
        else if (name == "--fps")
            ok = parseInt(value, options.fps) && options.fps >= 1 && options.fps <= kMaxFps;
        else if (name == "--size")
            ok = parseSize(value, options.width, options.height) && options.width >= kMinSide
                && options.height >= kMinSide && options.width <= kMaxSide && options.height <= kMaxSide;
        else if (name == "--from")
            ok = parseSeconds(value, options.from);
        else
            ok = parseSeconds(value, options.to);
        if (!ok) {
            error = "bad value '" + value + "' for " + name;
            return false;
        }
    }

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

std::string captureUsage(const char* program)
{
    return std::string("usage: ") + program + " (--out FILE.mp4 | --frames DIR) [options]\n"
        "Renders the demo's schedule off-screen at 1920x1080 with t = frame / fps and encodes it\n"
        "with ffmpeg: an MP4 (H.264, AAC soundtrack), or numbered PNGs plus a WAV in DIR.\n"
        "Run it from the build directory, where the demo's data sit.\n"
        "  --out FILE     MP4 file to write (replaced if it exists)\n"
        "  --frames DIR   write frame-NNNNNN.png (N = frame number) and soundtrack.wav to DIR,\n"
        "                 which must not exist or be empty\n"
        "  --fps N        frames per second (default 60)\n"
        "  --size WxH     encoded size, scaled by ffmpeg (default 1920x1080)\n"
        "  --from S       first second of demo time (default 0)\n"
        "  --to S         end of the capture, exclusive (default 109, the end of the show)\n"
        "  --flash-report then list where what was captured flashes more than a photosensitive\n"
        "                 viewer can take, as demo-check --flashes does for the whole show\n"
        "  --help         this text\n";
}
