// The capture's soundtrack; see soundtrack.hpp. LoopedWav does the reading, the loop and the
// seek to the capture's start, so the wrap from the tune's end to its start is the one the
// demo plays, and a capture from late in the show starts as fast as one from its start.
#include "soundtrack.hpp"

#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "sound/music_reader.hpp"
#include "sound/tune_position.hpp"

namespace {

constexpr std::size_t kChunkFrames = 8192;

void writeAll(SNDFILE* out, const float* frames, sf_count_t count, const std::string& wavPath)
{
    if (sf_writef_float(out, frames, count) != count)
        throw std::runtime_error("cannot write the soundtrack to " + wavPath + ": " + sf_strerror(out));
}

}  // namespace

void writeSoundtrack(const char* tunePath, double fromSeconds, double seconds, const std::string& wavPath)
{
    LoopedWav tune(tunePath);
    if (!tune.playable())
        throw std::runtime_error(std::string("cannot read the tune ") + tunePath);
    const int channels = tune.channels();
    // Both ends rounded from demo time, so back-to-back captures cut the tune seamlessly.
    const std::uint64_t start = streamFrameAt(fromSeconds, tune.sampleRate());
    const std::uint64_t end = streamFrameAt(fromSeconds + seconds, tune.sampleRate());
    const auto length = static_cast<std::size_t>(end - start);

    SF_INFO info{};
    info.samplerate = tune.sampleRate();
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;  // the reader's floats, not a sample altered
    SNDFILE* out = sf_open(wavPath.c_str(), SFM_WRITE, &info);
    if (out == nullptr)
        throw std::runtime_error("cannot write the soundtrack to " + wavPath + ": " + sf_strerror(nullptr));

    std::vector<float> chunk(kChunkFrames * static_cast<std::size_t>(channels));
    try {
        if (!tune.seek(start))
            throw std::runtime_error(std::string("the tune ") + tunePath + " stopped yielding audio");
        for (std::size_t done = 0; done < length;) {
            const std::size_t want = std::min(kChunkFrames, length - done);
            if (tune.read(chunk.data(), want) != want)
                throw std::runtime_error(std::string("the tune ") + tunePath + " stopped yielding audio");
            writeAll(out, chunk.data(), static_cast<sf_count_t>(want), wavPath);
            done += want;
        }
    } catch (...) {
        sf_close(out);
        throw;
    }
    if (sf_close(out) != 0)
        throw std::runtime_error("cannot finish the soundtrack in " + wavPath);
}
