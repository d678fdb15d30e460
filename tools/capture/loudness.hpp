// The soundtrack's loudness as the video platforms measure it, by EBU R128 (integrated loudness,
// loudness range, true peak), read from ffmpeg's ebur128 filter; and the gain that brings it to
// a target loudness without letting its true peak past -1 dBTP, the headroom a lossy encoding
// needs so as not to clip between samples.
#pragma once

#include <string>

struct Loudness {
    double integrated = 0.0;  // LUFS
    double range = 0.0;       // LU
    double truePeak = 0.0;    // dBTP
};

// Measures the audio of `file` with `ffmpeg`. Throws std::runtime_error when ffmpeg can't.
Loudness measureLoudness(const std::string& ffmpeg, const std::string& file);

// The gain in dB that brings `measured` to `target` LUFS, less where its true peak would pass
// the ceiling: a margin under -1 dBTP that the AAC encoding's own overshoot stays within.
double loudnessGain(const Loudness& measured, double target);

// "-13.2 LUFS integrated, 5.0 LU range, true peak -0.3 dBTP".
std::string describeLoudness(const Loudness& loudness);
