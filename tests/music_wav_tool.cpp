// Helper for the music tests of the real demo: writes the files it plays, and reads back what
// OpenAL Soft's wave-file output captured (32-bit float stereo).
#include <sndfile.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "music_samples.hpp"

namespace {

constexpr float kSixteenBitScale = 32768.0f;  // libsndfile's and OpenAL's 16-bit to float
constexpr unsigned char kSizeNotYetKnown = 0xff;  // the output's RIFF size until it stops

// Whole loops after the leading silence; `broken` when a wrong frame follows them. While the
// demo runs the header's sizes are placeholders, and libsndfile reads up to the file's end.
int countLoops(const char* path, int frames, bool& broken)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (file == nullptr || info.channels != 2)
        return 0;
    std::vector<float> samples(static_cast<std::size_t>(info.frames) * 2);
    const auto total = static_cast<std::size_t>(sf_readf_float(file, samples.data(), info.frames));
    sf_close(file);

    std::size_t i = 0;
    while (i < total && samples[2 * i] == 0.0f && samples[2 * i + 1] == 0.0f)
        ++i;
    std::size_t matched = 0;
    for (; i < total; ++i, ++matched) {
        const int k = static_cast<int>(matched % static_cast<std::size_t>(frames));
        if (samples[2 * i] != samples::patternLeft(k) / kSixteenBitScale
            || samples[2 * i + 1] != samples::patternRight(k) / kSixteenBitScale) {
            std::cerr << "after " << matched << " frames: frame " << k << " of the pattern expected, got "
                      << samples[2 * i] * kSixteenBitScale << ' ' << samples[2 * i + 1] * kSixteenBitScale << '\n';
            broken = true;
            break;
        }
    }
    return static_cast<int>(matched / static_cast<std::size_t>(frames));
}

bool headerCompleted(const char* path)
{
    unsigned char riff[8] = {};
    FILE* file = std::fopen(path, "rb");
    const bool read = file != nullptr && std::fread(riff, 1, sizeof riff, file) == sizeof riff;
    if (file != nullptr)
        std::fclose(file);
    return read && !(riff[4] == kSizeNotYetKnown && riff[5] == kSizeNotYetKnown
                     && riff[6] == kSizeNotYetKnown && riff[7] == kSizeNotYetKnown);
}

}  // namespace

// Usage:
//   music_wav_tool pattern PATH RATE FRAMES   16-bit stereo pattern (see music_samples.hpp)
//   music_wav_tool refused KIND PATH          one of the files the soundtrack refuses
//   music_wav_tool loops CAPTURE FRAMES       prints how many whole loops of the pattern follow
//                                             the leading silence, back to back, sample-exact;
//                                             status 2 when a wrong frame follows them
//   music_wav_tool complete CAPTURE           status 0 when the capture's header was completed
//                                             (the device was stopped before the process ended)
int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    bool ok = false;
    bool broken = false;
    if (args.size() == 4 && args[0] == "pattern")
        ok = samples::writePattern(args[1], SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, std::atoi(args[2].c_str()),
                                   std::atoi(args[3].c_str()));
    else if (args.size() == 3 && args[0] == "refused")
        ok = samples::writeRefused(args[1], args[2]);
    else if (args.size() == 2 && args[0] == "complete")
        ok = headerCompleted(args[1].c_str());
    else if (args.size() == 3 && args[0] == "loops") {
        std::cout << countLoops(args[1].c_str(), std::atoi(args[2].c_str()), broken) << '\n';
        ok = true;
    } else {
        std::cerr << "usage: see the top of music_wav_tool.cpp\n";
    }
    return !ok ? 1 : broken ? 2 : 0;
}
