// The soundtrack as the build leaves it: the file format the demo loads, the tune's length,
// tempo, headroom and seamless loop; and that running each data tool again reproduces its
// output byte for byte.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <filesystem>
#include <fstream>
#include <sstream>

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

// Folds the energy envelope (10 ms windows) at each period from 0.30 s to 0.70 s and finds
// the 50 ms stretch of the fold that stands out most: a steady 120 BPM stands out at 0.5 s
// only, and at the start of each period, since the tune begins on a downbeat.
TEST_F(Soundtrack, BeatEnergyRecursEveryHalfSecondFromTheFirstSample)
{
    constexpr std::size_t kWindow = kRate / 100, kSpan = 5;
    std::vector<double> energy;
    for (std::size_t start = 0; start + kWindow <= frames_; start += kWindow)
        energy.push_back(power(start, start + kWindow));
    const double total = std::accumulate(energy.begin(), energy.end(), 0.0);
    const auto fold = [&](std::size_t period) {  // the contrast and phase of the stretch
        std::vector<double> profile(period, 0.0);
        for (std::size_t w = 0; w < energy.size(); ++w)
            profile[w % period] += energy[w];
        std::pair<double, std::size_t> best{0.0, 0};
        for (std::size_t s = 0; s < period; ++s) {
            double head = 0.0;
            for (std::size_t k = 0; k < kSpan; ++k)
                head += profile[(s + k) % period];
            best = std::max(best, {(head / kSpan) / ((total - head) / double(period - kSpan)), s});
        }
        return best;
    };

    const auto [contrast, phase] = fold(50);
    EXPECT_GT(contrast, 1.5);
    EXPECT_EQ(phase, 0u);
    for (std::size_t period = 30; period <= 70; ++period)
        EXPECT_TRUE(period == 50 || fold(period).first < 0.8 * contrast) << "period " << period * 10 << " ms: " << fold(period).first;
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
    for (const auto& [tool, built] : {std::pair{DEMOTUNE_TOOL, DEMOTUNE_WAV}, std::pair{POSTER_TOOL, POSTER_PNG}}) {
        const std::string out = testing::TempDir() + std::to_string(getpid()) + fs::path(built).filename().string();
        ASSERT_EQ(std::system(("'" + std::string(tool) + "' '" + out + "'").c_str()), 0) << tool;
        EXPECT_TRUE(fileBytes(out) == fileBytes(built)) << tool;
        fs::remove(out);
    }
}

}  // namespace
