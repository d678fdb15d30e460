// demo-capture's command line: what to capture (a range of the show at a fixed frame rate),
// at what size and quality, and where to: a video, PNG frames, a part of a capture made apart
// (on this machine or another), or the parts joined. Parsed without side effects so that every
// bad option is refused before a window, a child process or a file exists.
#pragma once

#include <optional>
#include <string>
#include <vector>

// How hard the video's encoder works: the release's size and quality, or a quick preview.
enum class Quality { Release, Draft };

struct CaptureOptions {
    double from = 0.0;   // seconds of demo time; frames for t in [from, to)
    double to = 0.0;     // set to the end of the schedule unless given
    int fps = 0;
    int width = 0;       // the size drawn and written
    int height = 0;
    int supersample = 1;  // frames drawn at this many times the size each way, filtered down
    std::string out;     // an MP4 file: the whole capture, or the parts joined
    std::string framesDir;
    std::string part;    // a part of a capture, lossless and without sound, to join later
    std::vector<std::string> joined;  // the parts to join into `out`, in order
    int piece = 1;       // this is the piece-th of `pieces` equal shares of the range's frames
    int pieces = 1;
    Quality quality = Quality::Release;
    std::optional<double> loudness;  // LUFS to bring the soundtrack to, or as it is
    bool flashReport = false;  // and the flash analyser's report of what was captured
    bool help = false;

    // Frame n is shown at t = n / fps; these are the first and one past the last frame
    // whose t lies in [from, to), or in this piece of it.
    long firstFrame() const;
    long endFrame() const;
    long frameCount() const { return endFrame() - firstFrame(); }
};

// Parses argv[1..]; on a bad option returns false with a one-line reason in `error`.
bool parseCaptureOptions(const std::vector<std::string>& args, CaptureOptions& options,
                         std::string& error);

// The --help text.
std::string captureUsage();

// t for frame n at `fps`: the exact quotient, then narrowed as the demo narrows its clock.
inline float frameTime(long frame, int fps)
{
    return static_cast<float>(static_cast<double>(frame) / static_cast<double>(fps));
}
