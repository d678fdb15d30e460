// demo-capture's option parsing; see options.hpp.
#include "options.hpp"

#include <algorithm>
#include <cmath>

#include "show/show_size.hpp"
#include "show/timeline.hpp"
#include "tooling/command_line.hpp"
#include "tooling/offscreen.hpp"

namespace {

constexpr int kDefaultFps = 60;
constexpr int kMaxFps = 1000;
// Loudness targets within reason, in LUFS.
constexpr double kQuietestTarget = -40.0;
constexpr double kLoudestTarget = -5.0;
// Bounds given in decimal seconds are rarely exact multiples of 1/fps in binary; a bound
// within this many frames of a frame's time counts as that frame's time.
constexpr double kFrameSlack = 1e-6;

const std::vector<OptionSpec> kOptions{{"--out", true}, {"--frames", true}, {"--part", true}, {"--piece", true},
    {"--join", false}, {"--fps", true}, {"--size", true}, {"--supersample", true}, {"--from", true}, {"--to", true},
    {"--quality", true}, {"--loudness", true}, {"--flash-report", false}};

// "K/N" with 1 <= K <= N.
bool readPiece(const std::string& value, int& piece, int& pieces)
{
    const std::size_t slash = value.find('/');
    return slash != std::string::npos && readCount(value.substr(0, slash), piece) &&
           readCount(value.substr(slash + 1), pieces) && piece >= 1 && piece <= pieces;
}

// The frame whose time is the first at or after `seconds`.
long frameAt(double seconds, int fps)
{
    return static_cast<long>(std::ceil(seconds * fps - kFrameSlack));
}

// Takes one option's value into `options`; false when the value is bad.
bool take(const CommandLine::Given& given, CaptureOptions& options)
{
    const std::string& name = given.name;
    const std::string& value = given.value;
    if (name == "--join")
        return true;  // the operands are the parts
    if (name == "--flash-report") {
        options.flashReport = true;
        return true;
    }
    if (name == "--out")
        return !(options.out = value).empty();
    if (name == "--frames")
        return !(options.framesDir = value).empty();
    if (name == "--part")
        return !(options.part = value).empty();
    if (name == "--piece")
        return readPiece(value, options.piece, options.pieces);
    if (name == "--fps")
        return readCount(value, options.fps) && options.fps >= 1 && options.fps <= kMaxFps;
    if (name == "--size")
        return readSize(value, options.width, options.height);
    if (name == "--supersample")
        return readCount(value, options.supersample);
    if (name == "--quality") {
        options.quality = value == "draft" ? Quality::Draft : Quality::Release;
        return value == "draft" || value == "release";
    }
    if (name == "--loudness") {
        options.loudness.emplace();
        return readNumber(value, *options.loudness) && *options.loudness >= kQuietestTarget
            && *options.loudness <= kLoudestTarget;
    }
    if (name == "--from")
        return readNumber(value, options.from);
    return readNumber(value, options.to);
}

// What is wrong with a line that joins parts, which carry their own range, rate and size.
std::string joinProblem(const CaptureOptions& options, const CommandLine& line)
{
    for (const char* own : {"--frames", "--part", "--piece", "--fps", "--size", "--supersample", "--from", "--to",
                            "--flash-report"})
        for (const CommandLine::Given& given : line.options)
            if (given.name == own)
                return std::string(own) + " does not go with --join: the parts were drawn already";
    if (options.out.empty())
        return "--join writes to --out FILE.mp4";
    if (options.joined.empty())
        return "--join needs the parts to join, in order";
    return {};
}

}  // namespace

// A piece's share is cut at whole frames (shares differing by one where the frames don't
// divide evenly), each piece ending where the next begins, so that they follow each other exactly.
long CaptureOptions::firstFrame() const
{
    const long first = frameAt(from, fps);
    return first + (frameAt(to, fps) - first) * (piece - 1) / pieces;
}

long CaptureOptions::endFrame() const
{
    const long first = frameAt(from, fps);
    return first + (frameAt(to, fps) - first) * piece / pieces;
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
    if (!readCommandLine(args, kOptions, 0, std::size_t(-1), line, error))
        return false;
    options.help = line.help;
    if (options.help)
        return true;
    if (!takeOptions(line, [&](const CommandLine::Given& given) { return take(given, options); }, error))
        return false;
    const bool join = std::any_of(line.options.begin(), line.options.end(),
                                  [](const CommandLine::Given& given) { return given.name == "--join"; });
    if (join) {
        options.joined = line.operands;
        error = joinProblem(options, line);
        return error.empty();
    }
    if (!line.operands.empty()) {
        error = "unexpected argument '" + line.operands.front() + "' (parts are joined with --join)";
        return false;
    }

    const double end = static_cast<double>(kDemoEnd);
    const int outputs = int(!options.out.empty()) + int(!options.framesDir.empty()) + int(!options.part.empty());
    if (outputs != 1)
        error = "give one of --out FILE.mp4, --frames DIR or --part FILE.mkv";
    else if (options.from < 0.0 || options.to > end || options.from >= options.to)
        error = "the range must lie within 0 to " + std::to_string(static_cast<int>(end))
              + " seconds with --from before --to";
    else if (options.frameCount() < 1)
        error = options.pieces == 1 ? "the range holds no frame at this frame rate"
                                    : "the range holds fewer frames than pieces at this frame rate";
    else if (options.pieces > 1 && !options.out.empty())
        error = "--piece makes a part (--part) or frames (--frames) of a capture, not a video";
    else if (options.framesDir.empty() && (options.width % 2 != 0 || options.height % 2 != 0))
        error = "H.264 in yuv420p needs an even width and height";
    else if (const std::string problem = pictureSizeProblem(options.width, options.height, options.supersample);
             !problem.empty())
        error = problem;
    else if (options.out.empty() && options.loudness)
        error = "--loudness brings a video's soundtrack to a loudness: it goes with --out or --join";
    return error.empty();
}

std::string captureUsage()
{
    return R"(usage: demo-capture (--out FILE.mp4 | --frames DIR | --part FILE.mkv) [options]
       demo-capture --join --out FILE.mp4 [--quality Q] [--loudness LUFS] PART.mkv...
Renders the demo's schedule off-screen with t = frame / fps, at the size asked, and encodes
it with ffmpeg: an MP4 (H.264 High, BT.709, AAC soundtrack), numbered PNGs plus a WAV in DIR,
or a part of a capture, lossless and silent, made by a process of its own (on this machine or
another) for --join to put together with the others into one MP4, the soundtrack encoded
once for the whole. Prints the loudness (EBU R128) of the sound it writes.
Run it from the build directory, where the demo's data sit.
  --out FILE       MP4 file to write (replaced if it exists)
  --frames DIR     write frame-NNNNNN.png (N = frame number) and soundtrack.wav to DIR,
                   which must not exist or be empty
  --part FILE      write this range as a part (Matroska, FFV1): no frame lost or repeated
                   where the ranges of two parts meet, their frames' times being exact
  --piece K/N      draw only the K-th of N equal shares of the range's frames (a part or
                   frames made by one of N processes or machines)
  --join           join the PART files given, each range following the one before, into --out
  --fps N          frames per second (default 60)
  --size WxH       the size drawn and written, at most 7680x4320 (default 1920x1080)
  --supersample N  draw at N times the size each way (1 to 4) and filter down in linear light
  --from S         first second of demo time (default 0)
  --to S           end of the capture, exclusive (default 109, the end of the show)
  --quality Q      release (default: slow preset, small and clean) or draft (fast, for previews)
  --loudness LUFS  bring the soundtrack to this integrated loudness (the platforms play at -14)
                   by a gain alone, the true peak kept at or under -1 dBTP
  --flash-report   then list where what was captured flashes more than a photosensitive
                   viewer can take, as demo-check --flashes does for the whole show
  --help           this text
)";
}
