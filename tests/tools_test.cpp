// The soundtrack and the poster as the build leaves them: the file formats the demo loads,
// the tune's length, tempo and seamless loop, and that running each tool again reproduces
// its output byte for byte.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <stb_image.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

constexpr int kRate = 44100;

std::string fileBytes(const std::string& path)
{
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// What the tool writes when run again, to a path of this process's own.
std::string runAgain(const std::string& tool, const std::string& name)
{
    const std::string out = testing::TempDir() + std::to_string(getpid()) + name;
    EXPECT_EQ(std::system(("'" + tool + "' '" + out + "'").c_str()), 0) << tool;
    const std::string bytes = fileBytes(out);
    std::remove(out.c_str());
    return bytes;
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
    static double rms(double from, double to) { return std::sqrt(power(std::size_t(from * kRate), std::size_t(to * kRate))); }

    static inline SF_INFO info_{};
    static inline std::vector<short> samples_;
    static inline std::size_t frames_ = 0;
};

TEST_F(Soundtrack, IsPcmStereoAt44100HzIn16BitsAndWholeBarsBetween60And108Seconds)
{
    EXPECT_EQ(info_.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ(info_.channels, 2);
    EXPECT_EQ(info_.samplerate, kRate);
    // A plain 44-byte header whose sizes (little-endian, as on this machine) match the file.
    const std::string bytes = fileBytes(DEMOTUNE_WAV);
    EXPECT_EQ(bytes.size(), 44 + 4 * frames_);
    std::uint32_t riffSize = 0, dataSize = 0;
    std::memcpy(&riffSize, &bytes.at(4), 4);
    std::memcpy(&dataSize, &bytes.at(40), 4);
    EXPECT_EQ(riffSize, bytes.size() - 8);
    EXPECT_EQ(dataSize, bytes.size() - 44);

    EXPECT_GE(frames_, 60u * kRate);
    EXPECT_LE(frames_, 108u * kRate);
    EXPECT_EQ(frames_ % (2 * kRate), 0u) << "the loop must close on a bar line (120 BPM in 4/4)";
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
    const auto fold = [&](std::size_t period) {  // the contrast and phase of the stretch
        std::vector<double> profile(period, 0.0);
        double total = 0.0;
        for (std::size_t w = 0; w < energy.size(); ++w) {
            profile[w % period] += energy[w];
            total += energy[w];
        }
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

// The arrangement as the schedule needs it: the kit lifts the level when the first
// full-screen scene starts at 10 s, the break before 46 s drops it, and the limiter keeps
// the loudest passages off full scale while the whole stays at a sensible loudness.
TEST_F(Soundtrack, LevelsFollowTheScheduleWithoutClipping)
{
    EXPECT_GT(rms(10.0, 26.0), 1.3 * rms(0.0, 9.0));
    EXPECT_LT(rms(42.0, 45.0), 0.75 * rms(46.0, 62.0));
    int loudest = 0;
    for (short sample : samples_)
        loudest = std::max(loudest, std::abs(int{sample}));
    EXPECT_LT(loudest, 0.99 * 32768);
    EXPECT_GT(std::sqrt(power(0, frames_)), 0.1 * 32768);  // above -20 dBFS
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
        std::vector<double> played;
        for (std::size_t i = frames_ - kAround; i < frames_ + kAround; ++i)
            played.push_back(samples_[2 * (i % frames_) + channel]);
        const auto departure = [&](std::size_t i) {
            return std::abs(played[i + 1] - played[i] - 0.5 * (played[i] - played[i - 1] + played[i + 2] - played[i + 1]));
        };
        const std::size_t join = kAround - 1;  // the step from the last frame to the first
        double nearby = 0.0;
        for (std::size_t i = 1; i + 2 < played.size(); ++i)
            if (i != join)
                nearby = std::max(nearby, departure(i));
        EXPECT_LE(departure(join), nearby) << "channel " << channel;
    }
}

TEST_F(Soundtrack, SecondRenderIsByteIdentical)
{
    EXPECT_TRUE(runAgain(DEMOTUNE_TOOL, "demotune.wav") == fileBytes(DEMOTUNE_WAV));
}

TEST(Poster, DecodesAsOpaqueRgbaAt1280By720AndASecondPaintIsByteIdentical)
{
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load(POSTER_PNG, &width, &height, &channels, 0);
    ASSERT_NE(pixels, nullptr) << stbi_failure_reason();
    EXPECT_EQ(channels, 4);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(height, 720);
    bool opaque = true;
    for (int i = 0; i < width * height && channels == 4; ++i)
        opaque = opaque && pixels[4 * i + 3] == 255;
    EXPECT_TRUE(opaque);
    stbi_image_free(pixels);
    EXPECT_TRUE(runAgain(POSTER_TOOL, "poster.png") == fileBytes(POSTER_PNG));
}

}  // namespace
