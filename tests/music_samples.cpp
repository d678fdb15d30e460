// WAV files for the music tests, written through libsndfile (the refused ones too, where it can
// write them), with one header patched by hand to claim what no writer would.
#include "music_samples.hpp"

#include <sndfile.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

namespace samples {

namespace {

constexpr int kRate = 48000;
constexpr int kFrames = 480;
constexpr int kPatternPeriod = 32767;
constexpr int kBlockFrames = 4096;
constexpr long kDataSizeOffset = 40;  // of a plain 16-bit PCM WAV as libsndfile writes it

}  // namespace

short patternLeft(int frame) { return static_cast<short>(frame % kPatternPeriod + 1); }
short patternRight(int frame) { return static_cast<short>(-patternLeft(frame)); }

bool writePattern(const std::string& path, int format, int channels, int rate, int frames)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        return false;
    sf_command(file, SFC_SET_SCALE_INT_FLOAT_WRITE, nullptr, SF_TRUE);  // float files hold [-1, 1]
    std::vector<short> block(static_cast<std::size_t>(kBlockFrames * channels));
    bool ok = true;
    for (int at = 0; at < frames && ok; at += kBlockFrames) {
        const int count = std::min(kBlockFrames, frames - at);
        for (int i = 0; i < count; ++i)
            for (int c = 0; c < channels; ++c)
                block[static_cast<std::size_t>(i * channels + c)] =
                    c == 0 ? patternLeft(at + i) : static_cast<short>(patternRight(at + i) / c);
        ok = sf_writef_short(file, block.data(), count) == count;
    }
    return sf_close(file) == 0 && ok;
}

const std::vector<std::string>& refusedKinds()
{
    static const std::vector<std::string> kinds = {
        "missing", "fifo", "text", "aiff", "ulaw", "zero-frames", "three-channels", "rate-too-high",
        "absurd-data-size",
    };
    return kinds;
}

bool writeRefused(const std::string& kind, const std::string& path)
{
    constexpr int kPcm16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    if (kind == "missing")
        return true;
    if (kind == "fifo")
        return mkfifo(path.c_str(), 0600) == 0;
    if (kind == "text") {
        FILE* file = std::fopen(path.c_str(), "w");
        return file != nullptr && std::fputs("not a sound at all\n", file) >= 0 && std::fclose(file) == 0;
    }
    if (kind == "aiff")
        return writePattern(path, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 2, kRate, kFrames);
    if (kind == "ulaw")
        return writePattern(path, SF_FORMAT_WAV | SF_FORMAT_ULAW, 2, kRate, kFrames);
    if (kind == "zero-frames")
        return writePattern(path, kPcm16, 2, kRate, 0);
    if (kind == "three-channels")
        return writePattern(path, kPcm16, 3, kRate, kFrames);
    if (kind == "rate-too-high")
        return writePattern(path, kPcm16, 2, 384000, kFrames);
    if (kind == "absurd-data-size") {  // claims 4 GB of audio, holds none
        if (!writePattern(path, kPcm16, 2, kRate, 0))
            return false;
        FILE* file = std::fopen(path.c_str(), "r+b");
        const unsigned char claim[] = {0xf0, 0xff, 0xff, 0xff};
        return file != nullptr && std::fseek(file, kDataSizeOffset, SEEK_SET) == 0
            && std::fwrite(claim, 1, sizeof claim, file) == sizeof claim && std::fclose(file) == 0;
    }
    return false;
}

}  // namespace samples
