// WAV files for the music tests: a pattern in which every frame of a loop is distinct from
// silence and from its neighbours, and the broken or unsupported files that the soundtrack
// must turn into silence.
#pragma once

#include <string>
#include <vector>

namespace samples {

// Frame i of the pattern as 16-bit samples: left and right are ±(i mod 32767 + 1), never 0.
short patternLeft(int frame);
short patternRight(int frame);

// `format` is a libsndfile format (container | sample type).
bool writePattern(const std::string& path, int format, int channels, int rate, int frames);

// Each kind of file the soundtrack refuses; writeRefused makes one of them at `path`.
const std::vector<std::string>& refusedKinds();
bool writeRefused(const std::string& kind, const std::string& path);

}  // namespace samples
