// The soundtrack of a capture: the demo's tune looped as the demo loops it, cut to the
// captured stretch of demo time, as a float WAV (the samples exactly as the demo reads them)
// for ffmpeg to mux or to ship beside a PNG sequence. The music starts with the show at
// t = 0, so a capture from S starts S seconds into the loop.
#pragma once

#include <string>

// Writes the looped tune at `tunePath` from `fromSeconds` for `seconds` to `wavPath`.
// Throws std::runtime_error naming the file when the tune can't be read or the WAV written.
void writeSoundtrack(const char* tunePath, double fromSeconds, double seconds, const std::string& wavPath);
