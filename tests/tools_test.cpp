// The soundtrack as the build leaves it: the file format the demo loads, the tune's length,
// headroom and seamless loop, its kicks where the score has them; and that running each data
// tool again reproduces its output byte for byte.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cues.hpp"
#include "score.hpp"

namespace {

namespace fs = std::filesystem;
constexpr int kRate = 44100;

std::string fileBytes(const std::string& path)
{
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// The built tune, decoded once for the whole suite, interleaved.
class Soundtrack : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        SNDFILE* file = sf_open(DEMOTUNE_WAV, SFM_READ, &info_);
        samples_.resize(std::size_t(info_.frames * info_.channels));
        frames_ = std::size_t(sf_readf_short(file, samples_.data(), info_.frames));
        sf_close(file);
    }
    // The mean square of both channels' samples over a span of frames.
    static double power(std::size_t first, std::size_t last)
    {
        double sum = 0.0;
        for (std::size_t i = 2 * first; i < 2 * last; ++i)
            sum += double(samples_[i]) * samples_[i];
        return sum / double(2 * (last - first));
    }

    static inline SF_INFO info_{};
    static inline std::vector<short> samples_;
    static inline std::size_t frames_ = 0;
};

TEST_F(Soundtrack, IsPcmStereoAt44100HzIn16BitsAndWholeBarsBetween60And108Seconds)
{
    EXPECT_EQ(info_.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ(info_.channels, 2);
    EXPECT_EQ(info_.samplerate, kRate);
    EXPECT_EQ(fileBytes(DEMOTUNE_WAV).size(), 44 + 4 * frames_) << "a plain header and nothing after the data";
    EXPECT_GE(frames_, 60u * kRate);
    EXPECT_LE(frames_, 108u * kRate);
    EXPECT_EQ(frames_ % (2 * kRate), 0u) << "the loop must close on a bar line (120 BPM in 4/4)";
    const auto [low, high] = std::minmax_element(samples_.begin(), samples_.end());
    EXPECT_LT(std::max(-int{*low}, int{*high}), 0.99 * 32768) << "the limiter keeps it off full scale";
}

// The kicks sound where the score puts them (what the picture's accents are timed by): at each
// one the 10 ms after it carry far more energy than the 10 ms before.
TEST_F(Soundtrack, KicksSoundOnTheScoresBeats)
{
    constexpr std::size_t kWindow = kRate / 100;
    int kicks = 0;
    for (const synth::Note& note : synth::demoTune(synth::readCues(DEMO_DATA)).notes) {
        const auto at = std::size_t(std::llround(synth::beatsToSeconds(note.beat) * kRate));
        if (note.instrument != synth::Instrument::Kick || at < kWindow || at + kWindow > frames_)
            continue;
        ++kicks;
        EXPECT_GT(power(at, at + kWindow), 2.0 * power(at - kWindow, at)) << "no kick heard at " << note.beat << " beats";
    }
    EXPECT_GT(kicks, 100);
}

// The loop plays the last frame, then the first. A click is a step that leaves the slope of
// the wave: the step across the join may depart from the mean of the steps beside it no
// more than the steps within 10 ms of it do (a kick starting on the downbeat bends the
// wave there too, so this is the largest nearby, not a typical one).
TEST_F(Soundtrack, LoopJoinsWithoutAStep)
{
    constexpr std::size_t kAround = kRate / 100;
    ASSERT_GT(frames_, 2 * kAround);
    for (std::size_t channel = 0; channel < 2; ++channel) {
        // The k-th frame played from 10 ms before the join; the join is the step from kAround - 1.
        const auto at = [&](std::size_t k) { return double(samples_[2 * ((frames_ - kAround + k) % frames_) + channel]); };
        const auto departure = [&](std::size_t k) {
            return std::abs(at(k + 1) - at(k) - 0.5 * (at(k) - at(k - 1) + at(k + 2) - at(k + 1)));
        };
        double nearby = 0.0;
        for (std::size_t k = 1; k + 2 < 2 * kAround; ++k)
            nearby = k == kAround - 1 ? nearby : std::max(nearby, departure(k));
        EXPECT_LE(departure(kAround - 1), nearby) << "channel " << channel;
    }
}

TEST(Tools, ASecondRunIsByteIdentical)
{
    const std::string tune = "'" + std::string(DEMOTUNE_TOOL) + "' '" + DEMO_DATA + "'";
    for (const auto& [tool, built] : {std::pair{tune, DEMOTUNE_WAV}, std::pair{"'" + std::string(POSTER_TOOL) + "'", POSTER_PNG}}) {
        const std::string out = testing::TempDir() + std::to_string(getpid()) + fs::path(built).filename().string();
        ASSERT_EQ(std::system((tool + " '" + out + "'").c_str()), 0) << tool;
        EXPECT_TRUE(fileBytes(out) == fileBytes(built)) << tool;
        fs::remove(out);
    }
}

}  // namespace
