// A whole capture: renders the asked range of the show off-screen with the demo's own scene
// code, at the asked size (supersampled if asked), reads each frame back through the PBO ring
// and feeds ffmpeg: an MP4 with the soundtrack beside it, PNG frames, or a lossless part of a
// capture for a join (join.hpp). Output goes to a temporary name next to the final one and is
// renamed only when ffmpeg has finished cleanly, so a failed capture never leaves a partial
// file behind.
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
// null), asked before each frame, abandons the capture when it says so. The soundtrack's
// loudness and the flash report go to `report` (or nowhere). Throws std::runtime_error with a
// message for the user on any failure.
CaptureStats runCapture(const CaptureOptions& options, const std::string& ffmpeg, std::FILE* progress,
                        bool (*stop)(), std::FILE* report = nullptr);

// ffmpeg's arguments for a capture of `options`: raw RGBA frames of the options' size, bottom
// row first, on its standard input, and `soundtrack` beside them brought up or down by `gainDb`,
// written to `output` (a file, or a directory of PNGs numbered from `firstFrame`).
std::vector<std::string> ffmpegArgs(const CaptureOptions& options, const std::string& soundtrack,
                                    const std::string& output, long firstFrame, double gainDb = 0.0);

// What a video's frames go through on their way to the MP4 once they are top row first in 8-bit
// RGB, with alpha (a whole capture's) or without (a join's parts): BT.709's matrix in limited
// range and 4:2:0, for H.264 High with its colours tagged. The same filter makes the same video
// from either, so that a join equals a capture made in one go.
inline constexpr const char* kToVideo = "scale=out_color_matrix=bt709:out_range=tv";
// The MP4's codecs and settings after its filters: the video's for `quality`, its colour tags,
// the soundtrack's gain and codec, the index at the front for players that stream it.
std::vector<std::string> mp4Args(Quality quality, double gainDb);

// The soundtrack's loudness measured and, when the options ask for a loudness, the gain to it;
// the figures go to `report`. Returns the gain in dB.
double soundtrackGain(const CaptureOptions& options, const std::string& ffmpeg, const std::string& soundtrack,
                      std::FILE* report);
// The loudness of the soundtrack as the MP4 at `video` holds it, to `report`.
void reportEncodedLoudness(const std::string& ffmpeg, const std::string& video, std::FILE* report);
