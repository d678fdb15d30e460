// Helper for the music tests of the real demo: writes the files it plays, and reads back what
// OpenAL Soft's wave-file output captured to count how many times the pattern came out whole.
//   music_wav_tool pattern PATH RATE FRAMES   16-bit stereo pattern (see music_samples.hpp)
//   music_wav_tool long PATH SECONDS          16-bit stereo 48 kHz file of that length
//   music_wav_tool refused KIND PATH          one of the files the soundtrack refuses
//   music_wav_tool loops CAPTURE FRAMES       prints how many whole loops of the pattern follow
//                                             the leading silence, back to back, sample-exact;
//                                             status 2 when a wrong frame follows them
//   music_wav_tool silent CAPTURE             status 0 when the capture holds only silence
//   music_wav_tool complete CAPTURE           status 0 when the capture's header gives its real
//                                             length (the device was stopped before the end)
#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "music_samples.hpp"

namespace {

constexpr float kSixteenBitScale = 32768.0f;  // libsndfile's and OpenAL's 16-bit to float
constexpr int kLongRate = 48000;

std::uint32_t read32(const std::string& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

// The capture's stereo float samples, read as raw bytes: while the demo runs, the file's sizes
// are not yet filled in. Empty when it isn't 32-bit float stereo; `complete` tells whether the
// data chunk's size is the real one.
std::vector<float> readCapture(const std::string& path, bool* complete = nullptr)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(0, in.tellg())), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    std::size_t at = 12;
    std::size_t data = 0;
    int channels = 0;
    int bits = 0;
    while (at + 8 <= bytes.size() && data == 0) {
        const std::string id = bytes.substr(at, 4);
        const std::uint32_t size = read32(bytes, at + 4);
        if (id == "fmt " && at + 24 <= bytes.size()) {
            channels = static_cast<unsigned char>(bytes[at + 10]);
            bits = static_cast<unsigned char>(bytes[at + 22]);
        }
        if (id == "data") {
            data = at + 8;
            if (complete != nullptr)
                *complete = size == bytes.size() - data;
        }
        at += 8 + size + (size & 1);
    }
    if (data == 0 || channels != 2 || bits != 32) {
        std::cerr << "capture is not 32-bit float stereo: channels " << channels << ", bits " << bits << '\n';
        return {};
    }
    std::vector<float> samples((bytes.size() - data) / (2 * sizeof(float)) * 2);
    std::memcpy(samples.data(), bytes.data() + data, samples.size() * sizeof(float));
    return samples;
}

int countLoops(const std::string& path, int frames, bool& broken)
{
    const std::vector<float> samples = readCapture(path);
    const std::size_t total = samples.size() / 2;
    std::size_t first = 0;
    while (first < total && samples[2 * first] == 0.0f && samples[2 * first + 1] == 0.0f)
        ++first;
    std::size_t matched = 0;
    for (std::size_t i = first; i < total; ++i, ++matched) {
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

bool writeLong(const std::string& path, int seconds)
{
    SF_INFO info{};
    info.samplerate = kLongRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        return false;
    std::vector<short> second(2 * kLongRate);
    for (std::size_t i = 0; i < second.size(); ++i)
        second[i] = static_cast<short>(i % 2000);
    bool ok = true;
    for (int s = 0; s < seconds && ok; ++s)
        ok = sf_writef_short(file, second.data(), kLongRate) == kLongRate;
    return sf_close(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    bool ok = false;
    bool broken = false;
    if (args.size() == 4 && args[0] == "pattern")
        ok = samples::writePattern(args[1], SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, std::atoi(args[2].c_str()),
                                   std::atoi(args[3].c_str()));
    else if (args.size() == 3 && args[0] == "long")
        ok = writeLong(args[1], std::atoi(args[2].c_str()));
    else if (args.size() == 3 && args[0] == "refused")
        ok = samples::writeRefused(args[1], args[2]);
    else if (args.size() == 2 && args[0] == "silent") {
        const std::vector<float> samples = readCapture(args[1]);
        ok = !samples.empty() && std::all_of(samples.begin(), samples.end(), [](float v) { return v == 0.0f; });
    } else if (args.size() == 2 && args[0] == "complete") {
        readCapture(args[1], &ok);
    } else if (args.size() == 3 && args[0] == "loops") {
        std::cout << countLoops(args[1], std::atoi(args[2].c_str()), broken) << '\n';
        ok = true;
    } else {
        std::cerr << "usage: see the top of music_wav_tool.cpp\n";
    }
    return !ok ? 1 : broken ? 2 : 0;
}
