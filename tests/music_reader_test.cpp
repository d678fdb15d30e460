// The music file reader without a device: every accepted format streams as the file's own
// frames repeated back to back, whatever the block size, and every refused file opens as
// unplayable at once (no blocking on a FIFO, no reading of a header's claims).
#include <gtest/gtest.h>

#include <sndfile.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "music_reader.hpp"
#include "music_samples.hpp"

namespace {

class MusicReader : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(mkdtemp(dir_), nullptr); }
    void TearDown() override { ASSERT_EQ(std::system(("rm -rf " + std::string(dir_)).c_str()), 0); }
    std::string path(const std::string& name) const { return std::string(dir_) + "/" + name; }

private:
    char dir_[32] = "/tmp/music_reader_XXXXXX";
};

// The file decoded once, straight through, by libsndfile: what each loop must repeat.
std::vector<float> decodeWhole(const std::string& path, int& frames)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    std::vector<float> all(static_cast<std::size_t>(info.frames * info.channels));
    frames = static_cast<int>(sf_readf_float(file, all.data(), info.frames));
    sf_close(file);
    return all;
}

struct Case {
    int format;
    int channels;
    int rate;
    int frames;
};

TEST_F(MusicReader, AcceptedFormatsLoopSampleExactAcrossEveryJoin)
{
    const Case cases[] = {
        {SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 8000, 997},
        {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 997},
        {SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, 48000, 1000},
        {SF_FORMAT_WAV | SF_FORMAT_PCM_32, 1, 96000, 5000},
        {SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 192000, 3},  // shorter than a block: wraps many times
        {SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 2, 22050, 1},
    };
    // Odd sizes, so the joins fall at every place in a block.
    const std::size_t blockFrames[] = {1, 61, 4096};
    for (const Case& c : cases) {
        SCOPED_TRACE("format 0x" + std::to_string(c.format) + ", " + std::to_string(c.channels)
                     + " channels, " + std::to_string(c.frames) + " frames");
        const std::string file = path("ok.wav");
        ASSERT_TRUE(samples::writePattern(file, c.format, c.channels, c.rate, c.frames));
        int frames = 0;
        const std::vector<float> once = decodeWhole(file, frames);
        ASSERT_EQ(frames, c.frames);

        for (std::size_t block : blockFrames) {
            LoopedWav wav(file.c_str());
            ASSERT_TRUE(wav.playable());
            EXPECT_EQ(wav.channels(), c.channels);
            EXPECT_EQ(wav.sampleRate(), c.rate);
            const std::size_t ch = static_cast<std::size_t>(c.channels);
            const std::size_t total = static_cast<std::size_t>(3 * c.frames) + 2 * block;
            std::vector<float> out(block * ch);
            for (std::size_t at = 0; at < total; at += block) {
                ASSERT_EQ(wav.read(out.data(), block), block);
                for (std::size_t i = 0; i < block * ch; ++i) {
                    const std::size_t frame = (at + i / ch) % static_cast<std::size_t>(frames);
                    ASSERT_EQ(out[i], once[frame * ch + i % ch]) << "frame " << at + i / ch << ", block " << block;
                }
            }
        }
    }
}

TEST_F(MusicReader, FloatSamplesAreKeptPlayable)
{
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    const std::string file = path("loud.wav");
    SNDFILE* out = sf_open(file.c_str(), SFM_WRITE, &info);
    ASSERT_NE(out, nullptr);
    const float frames[] = {1e30f, -7.0f, std::numeric_limits<float>::quiet_NaN(), 0.25f};
    ASSERT_EQ(sf_writef_float(out, frames, 2), 2);
    sf_close(out);

    LoopedWav wav(file.c_str());
    ASSERT_TRUE(wav.playable());
    float got[4];
    ASSERT_EQ(wav.read(got, 2), 2u);
    EXPECT_EQ(got[0], 1.0f);
    EXPECT_EQ(got[1], -1.0f);
    EXPECT_EQ(got[2], 0.0f);
    EXPECT_EQ(got[3], 0.25f);
}

TEST_F(MusicReader, RefusedFilesAreUnplayableAndReadNothing)
{
    for (const std::string& kind : samples::refusedKinds()) {
        SCOPED_TRACE(kind);
        const std::string file = path(kind + ".wav");
        ASSERT_TRUE(samples::writeRefused(kind, file));
        LoopedWav wav(file.c_str());  // a FIFO with no writer must not block here
        EXPECT_FALSE(wav.playable());
        float block[2 * LoopedWav::kMaxChannels];
        EXPECT_EQ(wav.read(block, 2), 0u);
    }
}

}  // namespace
