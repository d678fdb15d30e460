// A minimal writer for 16-bit PCM WAV files: a RIFF header and the samples, little-endian
// whatever the host, with no extra chunks, so the same samples always give the same file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace synth {

// Writes interleaved samples; returns false if the file cannot be written.
bool writeWav(const std::string& path, const std::vector<std::int16_t>& interleaved, int channels, int sampleRate);

}  // namespace synth
