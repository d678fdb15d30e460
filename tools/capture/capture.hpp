// A whole capture: renders the asked range of the show off-screen with the demo's own scene
// code, reads each frame back through the PBO ring and feeds ffmpeg, with the soundtrack
// beside it. Output goes to a temporary name next to the final one and is renamed only
// when ffmpeg has finished cleanly, so a failed capture never leaves a partial file behind.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "options.hpp"

struct CaptureStats {
    long frames;
    double seconds;  // wall-clock time from the first frame rendered to ffmpeg's exit
};

// `ffmpeg` is the program's path; `progress` (or null) gets the progress display; `stop` (or
// null), asked before each frame, abandons the capture when it says so. Throws
// std::runtime_error with a message for the user on any failure.
CaptureStats runCapture(const CaptureOptions& options, const std::string& ffmpeg, std::FILE* progress,
                        bool (*stop)());

// ffmpeg's arguments for a capture of `options`: raw RGBA frames of 1920x1080, bottom row
// first, on its standard input, and `soundtrack` beside them, written to `output` (a file, or
// a directory of PNGs numbered from `firstFrame`).
std::vector<std::string> ffmpegArgs(const CaptureOptions& options, const std::string& soundtrack,
                                    const std::string& output, long firstFrame);
