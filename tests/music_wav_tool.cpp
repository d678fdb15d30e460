// Helper for the music tests of the real demo: writes the files it plays, and reads back what
// OpenAL Soft's wave-file output captured (32-bit float stereo).
//   music_wav_tool pattern PATH RATE FRAMES   16-bit stereo pattern (see music_samples.hpp)
//   music_wav_tool refused KIND PATH          one of the files the soundtrack refuses
//   music_wav_tool matched CAPTURE FRAMES     prints how many frames of the pattern, looped at
//                                             FRAMES, follow the leading silence sample-exact;
//                                             status 2 when a wrong frame follows them
//   music_wav_tool complete CAPTURE           status 0 when the capture's header was completed
//                                             (the device was stopped before the process ended)
#include <iostream>

#include "music_samples.hpp"

namespace {

// Frames of the looped pattern after the leading silence; `broken` when a wrong frame follows. While the
// demo runs the header's sizes are placeholders, and libsndfile reads up to the file's end.
std::size_t matching(const char* path, int frames, bool& broken)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (file == nullptr || info.channels != 2)
        return 0;
    std::vector<float> samples(std::size_t(info.frames) * 2);
    const auto total = std::size_t(sf_readf_float(file, samples.data(), info.frames));
    sf_close(file);

    std::size_t i = 0, matched = 0;
    while (i < total && samples[2 * i] == 0.0f && samples[2 * i + 1] == 0.0f)
        ++i;
    for (; i < total; ++i, ++matched) {
        const int k = int(matched % std::size_t(frames));
        const float expected = samples::patternLeft(k) / 32768.0f;  // libsndfile's and OpenAL's 16 bits to float
        if (samples[2 * i] != expected || samples[2 * i + 1] != -expected) {
            std::cerr << "after " << matched << " frames: frame " << k << " of the pattern expected, got "
                      << samples[2 * i] * 32768 << ' ' << samples[2 * i + 1] * 32768 << '\n';
            broken = true;
            break;
        }
    }
    return matched;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "pattern")
        return !samples::writePattern(args[1], SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, std::stoi(args[2]), std::stoi(args[3]));
    if (args.size() == 3 && args[0] == "refused")
        return !samples::writeRefused(args[1], args[2]);
    if (args.size() == 3 && args[0] == "matched") {
        bool broken = false;
        std::cout << matching(args[1].c_str(), std::stoi(args[2]), broken) << '\n';
        return broken ? 2 : 0;
    }
    if (args.size() == 2 && args[0] == "complete") {  // the RIFF size is all ones until then
        char riff[8] = {};
        return !std::ifstream(args[1], std::ios::binary).read(riff, 8) || std::string(riff + 4, 4) == "\xff\xff\xff\xff";
    }
    std::cerr << "usage: see the top of music_wav_tool.cpp\n";
    return 1;
}
