// Parts of one capture, made by separate processes (on one machine or many) with --part over
// ranges that follow each other, joined into one MP4: each part checked to hold just the frames
// its tags say (none lost or repeated where two meet), all decoded in order and encoded as one
// video, the soundtrack cut and encoded once for the whole. Frames and settings are a whole
// capture's, so the join is the MP4 a capture of the whole range in one go makes.
#pragma once

#include <cstdio>
#include <string>

#include "capture.hpp"

// The tags a part carries: its range, and its frame rate.
inline constexpr const char* kPartFirstFrame = "DEMO_FIRST_FRAME";
inline constexpr const char* kPartFrames = "DEMO_FRAMES";
inline constexpr const char* kPartFps = "DEMO_FPS";

// Joins options.joined into options.out with `ffmpeg`, reading the parts with `ffprobe`; the
// soundtrack's loudness to `report`. Throws std::runtime_error naming the part at fault, or the
// gap or overlap between two.
CaptureStats joinParts(const CaptureOptions& options, const std::string& ffmpeg, const std::string& ffprobe,
                       std::FILE* report);
