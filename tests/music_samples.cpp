// WAV files for the music tests: the pattern through libsndfile in any format, the refused
// files partly through libsndfile (other containers and encodings) and partly as raw bytes
// (headers that libsndfile would never write).
#include "music_samples.hpp"

#include <sndfile.h>
#include <sys/stat.h>

#include <cstdint>
#include <fstream>

namespace samples {

namespace {

constexpr int kRate = 48000;
constexpr int kFrames = 480;

void put32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xff);
}

void put16(std::string& out, std::uint16_t v)
{
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>(v >> 8);
}

// A 16-bit stereo PCM header whose data chunk claims `dataSize` bytes, then `data`.
std::string rawWav(std::uint32_t dataSize, const std::string& data)
{
    std::string fmt;
    put16(fmt, 1);  // PCM
    put16(fmt, 2);
    put32(fmt, kRate);
    put32(fmt, kRate * 4);
    put16(fmt, 4);
    put16(fmt, 16);
    std::string body = "WAVEfmt ";
    put32(body, static_cast<std::uint32_t>(fmt.size()));
    body += fmt + "data";
    put32(body, dataSize);
    body += data;
    std::string file = "RIFF";
    put32(file, static_cast<std::uint32_t>(body.size()));
    return file + body;
}

bool writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

}  // namespace

short patternLeft(int frame) { return static_cast<short>(frame + 1); }
short patternRight(int frame) { return static_cast<short>(-(frame + 1)); }

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
    std::vector<short> block(static_cast<std::size_t>(channels));
    bool ok = true;
    for (int i = 0; i < frames && ok; ++i) {
        block[0] = patternLeft(i);
        for (int c = 1; c < channels; ++c)
            block[static_cast<std::size_t>(c)] = static_cast<short>(patternRight(i) / c);
        ok = sf_writef_short(file, block.data(), 1) == 1;
    }
    return sf_close(file) == 0 && ok;
}

const std::vector<std::string>& refusedKinds()
{
    static const std::vector<std::string> kinds = {
        "missing", "fifo", "directory", "text", "aiff", "ulaw", "zero-frames", "three-channels",
        "rate-too-low", "rate-too-high", "absurd-data-size", "absurd-channel-count",
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
    if (kind == "directory")
        return mkdir(path.c_str(), 0700) == 0;
    if (kind == "text")
        return writeBytes(path, "RIFF? no, just a text file that happens to be called .wav\n");
    if (kind == "aiff")
        return writePattern(path, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 2, kRate, kFrames);
    if (kind == "ulaw")
        return writePattern(path, SF_FORMAT_WAV | SF_FORMAT_ULAW, 2, kRate, kFrames);
    if (kind == "zero-frames")
        return writePattern(path, kPcm16, 2, kRate, 0);
    if (kind == "three-channels")
        return writePattern(path, kPcm16, 3, kRate, kFrames);
    if (kind == "rate-too-low")
        return writePattern(path, kPcm16, 2, 4000, kFrames);
    if (kind == "rate-too-high")
        return writePattern(path, kPcm16, 2, 384000, kFrames);
    if (kind == "absurd-data-size")  // claims 4 GB of audio, holds none
        return writeBytes(path, rawWav(0xfffffff0u, ""));
    if (kind == "absurd-channel-count") {
        std::string bytes = rawWav(4, std::string(4, '\1'));
        bytes[22] = bytes[23] = '\xff';  // 65535 channels
        return writeBytes(path, bytes);
    }
    return false;
}

}  // namespace samples
