// WAV files for the music tests, written through libsndfile (the refused ones too, where it
// can write them): a pattern in which every frame of a loop is distinct from silence and from
// its neighbours, and the broken or unsupported files that the soundtrack must turn into
// silence.
#pragma once

#include <sndfile.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace samples {

// Frame i of the pattern as 16-bit samples: left is i mod 32767 + 1, never 0, right its
// negation (further channels a fraction of it).
inline short patternLeft(int frame) { return static_cast<short>(frame % 32767 + 1); }

// `format` is a libsndfile format (container | sample type). Written a block at a time, so
// that a 10-minute file takes no more memory than a short one.
inline bool writePattern(const std::string& path, int format, int channels, int rate, int frames)
{
    SF_INFO info{0, rate, channels, format, 0, 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        return false;
    sf_command(file, SFC_SET_SCALE_INT_FLOAT_WRITE, nullptr, SF_TRUE);  // float files hold [-1, 1]
    std::vector<short> block(std::size_t(4096 * channels));
    bool ok = true;
    for (int at = 0; at < frames && ok; at += 4096) {
        const int count = std::min(4096, frames - at);
        for (std::size_t i = 0; i < std::size_t(count * channels); ++i)
            block[i] = short(patternLeft(at + int(i) / channels) / (i % channels == 0 ? 1 : -int(i % channels)));
        ok = sf_writef_short(file, block.data(), count) == count;
    }
    return sf_close(file) == 0 && ok;
}

// Each kind of file the soundtrack refuses; writeRefused makes one of them at `path`.
inline const std::vector<std::string> refusedKinds = {
    "missing", "fifo", "text", "aiff", "ulaw", "zero-frames", "three-channels", "rate-too-high", "absurd-data-size"};

inline bool writeRefused(const std::string& kind, const std::string& path)
{
    constexpr int kPcm16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    const std::map<std::string, std::array<int, 4>> written = {  // format, channels, rate, frames
        {"aiff", {SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 2, 48000, 480}}, {"ulaw", {SF_FORMAT_WAV | SF_FORMAT_ULAW, 2, 48000, 480}},
        {"zero-frames", {kPcm16, 2, 48000, 0}}, {"three-channels", {kPcm16, 3, 48000, 480}},
        {"rate-too-high", {kPcm16, 2, 384000, 480}}, {"absurd-data-size", {kPcm16, 2, 48000, 0}}};
    if (kind == "missing")
        return true;
    if (kind == "fifo")
        return mkfifo(path.c_str(), 0600) == 0;
    if (kind == "text")
        return bool(std::ofstream(path) << "not a sound at all\n");
    const auto [format, channels, rate, frames] = written.at(kind);
    if (!writePattern(path, format, channels, rate, frames))
        return false;
    // The data size of a plain 16-bit PCM WAV as libsndfile writes it, at byte 40, made to
    // claim 4 GB of audio that the file does not hold.
    return kind != "absurd-data-size" || bool(std::fstream(path, std::ios::in | std::ios::out | std::ios::binary)
                                                  .seekp(40)
                                                  .write("\xf0\xff\xff\xff", 4));
}

}  // namespace samples
