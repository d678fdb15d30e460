// The music file reader without a device: every accepted format streams as the file's own
// frames repeated back to back, whatever the block size, a seek lands on the exact frame of
// that stream, and every refused file opens as unplayable at once (no blocking on a FIFO, no
// reading of a header's claims).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <limits>

#include "music_samples.hpp"
#include "sound/music_reader.hpp"

namespace {

// A file of this process's own, removed at the end of the scope.
struct TempFile {
    std::string path = testing::TempDir() + "music_reader_" + std::to_string(getpid()) + ".wav";
    ~TempFile() { std::remove(path.c_str()); }
};

TEST(MusicReader, AcceptedFormatsLoopAndSeekSampleExactAcrossEveryJoin)
{
    struct Case {
        int format, channels, rate, frames;
    };
    for (const Case& c : {Case{SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 8000, 997}, Case{SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 997},
                          Case{SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, 48000, 1000}, Case{SF_FORMAT_WAV | SF_FORMAT_PCM_32, 1, 96000, 5000},
                          Case{SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 192000, 3},  // shorter than a block: wraps many times
                          Case{SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 2, 22050, 1}}) {
        SCOPED_TRACE("format 0x" + std::to_string(c.format) + ", " + std::to_string(c.channels) + " channels, " +
                     std::to_string(c.frames) + " frames");
        const TempFile file;
        ASSERT_TRUE(samples::writeCounter(file.path, c.format, c.channels, c.rate, c.frames));
        // The file decoded once, straight through, by libsndfile: what each loop must repeat.
        SF_INFO info{};
        SNDFILE* whole = sf_open(file.path.c_str(), SFM_READ, &info);
        const std::size_t ch = std::size_t(c.channels), frames = std::size_t(c.frames);
        std::vector<float> once(frames * ch);
        ASSERT_EQ(sf_readf_float(whole, once.data(), c.frames), c.frames);
        sf_close(whole);

        for (std::size_t block : {1, 61, 4096}) {  // odd sizes, so the joins fall at every place in a block
            LoopedWav wav(file.path.c_str());
            ASSERT_TRUE(wav.playable());
            EXPECT_EQ(wav.channels(), c.channels);
            EXPECT_EQ(wav.sampleRate(), c.rate);
            std::vector<float> out(block * ch);
            for (std::size_t at = 0; at < 3 * frames + 2 * block; at += block) {
                ASSERT_EQ(wav.read(out.data(), block), block);
                for (std::size_t i = 0; i < block * ch; ++i)
                    ASSERT_EQ(out[i], once[(at + i / ch) % frames * ch + i % ch]) << "frame " << at + i / ch << ", block " << block;
            }
        }
        // Seeks: right before the join, past the end (taken modulo the loop), the last frame a
        // 64-bit count can name, and back to the start; each read goes on across the join.
        LoopedWav wav(file.path.c_str());
        EXPECT_EQ(wav.length(), std::uint64_t(frames));
        for (const std::uint64_t target : {std::uint64_t(frames - 1), std::uint64_t(3 * frames + 10),
                                           std::numeric_limits<std::uint64_t>::max(), std::uint64_t(0)}) {
            std::vector<float> out(5 * ch);
            ASSERT_TRUE(wav.seek(target) && wav.read(out.data(), 5) == 5) << target;
            for (std::size_t i = 0; i < out.size(); ++i)
                ASSERT_EQ(out[i], once[(target % frames + i / ch) % frames * ch + i % ch]) << "after a seek to " << target;
        }
    }
    EXPECT_FALSE(LoopedWav("/nonexistent/tune.wav").seek(0));
}

TEST(MusicReader, FloatSamplesAreKeptPlayable)
{
    const TempFile file;
    SF_INFO info{0, 48000, 2, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0, 0};
    SNDFILE* out = sf_open(file.path.c_str(), SFM_WRITE, &info);
    const float frames[] = {1e30f, -7.0f, std::numeric_limits<float>::quiet_NaN(), 0.25f};
    ASSERT_EQ(sf_writef_float(out, frames, 2), 2);
    sf_close(out);

    LoopedWav wav(file.path.c_str());
    float got[4];
    ASSERT_EQ(wav.read(got, 2), 2u);
    EXPECT_EQ(std::vector<float>(got, got + 4), (std::vector<float>{1.0f, -1.0f, 0.0f, 0.25f}));
}

TEST(MusicReader, RefusedFilesAreUnplayableAndReadNothing)
{
    for (const std::string& kind : samples::refusedKinds) {
        SCOPED_TRACE(kind);
        const TempFile file;
        ASSERT_TRUE(samples::writeRefused(kind, file.path));
        LoopedWav wav(file.path.c_str());
        EXPECT_FALSE(wav.playable());
        float block[2 * LoopedWav::kMaxChannels];
        EXPECT_EQ(wav.read(block, 2), 0u);
    }
}

}  // namespace
