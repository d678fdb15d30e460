// demo-capture's command line: what to capture (a range of the show at a fixed frame rate),
// at what size, and where to. Parsed without side effects so that every bad option is
// refused before a window, a child process or a file exists.
#pragma once

#include <string>
#include <vector>

struct CaptureOptions {
    double from = 0.0;   // seconds of demo time; frames for t in [from, to)
    double to = 0.0;     // set to the end of the schedule unless given
    int fps = 0;
    int width = 0;       // the encoded size; rendering is always at the show's 1920x1080
    int height = 0;
    std::string out;     // an MP4 file, or empty when framesDir is set
    std::string framesDir;
    bool flashReport = false;  // and the flash analyser's report of what was captured
    bool help = false;

    // Frame n is shown at t = n / fps; these are the first and one past the last frame
    // whose t lies in [from, to).
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
