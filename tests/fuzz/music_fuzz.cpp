// libFuzzer target for the soundtrack path: any bytes through the music reader's format gate
// and looped reading, from memory through libsndfile's virtual I/O. A tune that opens must
// have a channel count the streaming buffers hold, and give only samples the mixer can play.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/music_reader.hpp"

namespace {
// Small reads, a bounded number, so that short files wrap several times within one input.
constexpr std::size_t kFramesPerRead = 257;
constexpr int kReads = 64;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    LoopedWav wav(data, size);
    if (!wav.playable())
        return 0;
    if (wav.channels() < 1 || wav.channels() > LoopedWav::kMaxChannels)
        __builtin_trap();
    // Sized for the file's own channels, so a reader that wrote more would overflow it.
    std::vector<float> block(kFramesPerRead * static_cast<std::size_t>(wav.channels()));
    for (int i = 0; i < kReads; ++i) {
        const std::size_t got = wav.read(block.data(), kFramesPerRead);
        if (got > kFramesPerRead)
            __builtin_trap();
        for (std::size_t s = 0; s < got * static_cast<std::size_t>(wav.channels()); ++s)
            if (!(std::fabs(block[s]) <= 1.0f))
                __builtin_trap();
        if (got < kFramesPerRead)
            break;  // the stream is over
    }
    return 0;
}
