// RIFF/WAVE with one "fmt " chunk (PCM, format tag 1) and one "data" chunk.
#include "wav.hpp"

#include <fstream>

namespace synth {
namespace {

constexpr std::uint32_t kFmtChunkBytes = 16;
constexpr std::uint16_t kPcmFormat = 1;
constexpr std::uint16_t kBitsPerSample = 16;
constexpr std::uint32_t kHeaderBytesAfterRiffSize = 4 + 8 + kFmtChunkBytes + 8;  // "WAVE", fmt, data header

void put32(std::vector<char>& out, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xFFu));
}

void put16(std::vector<char>& out, std::uint16_t v)
{
    out.push_back(static_cast<char>(v & 0xFFu));
    out.push_back(static_cast<char>(v >> 8));
}

void putTag(std::vector<char>& out, const char (&tag)[5]) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

bool writeWav(const std::string& path, const std::vector<std::int16_t>& interleaved, int channels, int sampleRate)
{
    const auto dataBytes = static_cast<std::uint32_t>(interleaved.size() * sizeof(std::int16_t));
    const auto blockAlign = static_cast<std::uint16_t>(channels * kBitsPerSample / 8);
    std::vector<char> bytes;
    bytes.reserve(kHeaderBytesAfterRiffSize + 8 + dataBytes);
    putTag(bytes, "RIFF");
    put32(bytes, kHeaderBytesAfterRiffSize + dataBytes);
    putTag(bytes, "WAVE");
    putTag(bytes, "fmt ");
    put32(bytes, kFmtChunkBytes);
    put16(bytes, kPcmFormat);
    put16(bytes, static_cast<std::uint16_t>(channels));
    put32(bytes, static_cast<std::uint32_t>(sampleRate));
    put32(bytes, static_cast<std::uint32_t>(sampleRate) * blockAlign);
    put16(bytes, blockAlign);
    put16(bytes, kBitsPerSample);
    putTag(bytes, "data");
    put32(bytes, dataBytes);
    for (std::int16_t sample : interleaved) put16(bytes, static_cast<std::uint16_t>(sample));

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace synth
