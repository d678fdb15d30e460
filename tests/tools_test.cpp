// The soundtrack and the poster as the build leaves them: the file formats the demo loads,
// the tune's length, tempo and seamless loop, and that running each tool again reproduces
// its output byte for byte.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kSampleRate = 44100;
constexpr int kFramesPerBar = 2 * kSampleRate;  // 120 BPM in 4/4
constexpr std::size_t kWavHeaderBytes = 44;

std::vector<std::uint8_t> readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}
std::uint16_t le16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b.at(at) | b.at(at + 1) << 8);
}
std::string tag(const std::vector<std::uint8_t>& b, std::size_t at) { return std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4); }

// Runs `tool` with a fresh output path in a temporary directory; returns what it wrote.
std::vector<std::uint8_t> runInTempDir(const std::string& tool, const std::string& fileName)
{
    char dir[] = "/tmp/tools_test.XXXXXX";
    if (!mkdtemp(dir)) return {};
    const std::string out = std::string(dir) + "/" + fileName;
    const int status = std::system(("'" + tool + "' '" + out + "'").c_str());
    EXPECT_EQ(status, 0) << tool;
    std::vector<std::uint8_t> bytes = readFile(out);
    std::remove(out.c_str());
    std::remove(dir);
    return bytes;
}

// The built tune, decoded once for the whole suite.
class Soundtrack : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        bytes_ = readFile(DEMOTUNE_WAV);
        for (std::size_t at = kWavHeaderBytes; at + 3 < bytes_.size(); at += 4) {
            left_.push_back(static_cast<std::int16_t>(le16(bytes_, at)));
            right_.push_back(static_cast<std::int16_t>(le16(bytes_, at + 2)));
        }
    }

    static std::vector<std::uint8_t> bytes_;
    static std::vector<std::int16_t> left_, right_;
};
std::vector<std::uint8_t> Soundtrack::bytes_;
std::vector<std::int16_t> Soundtrack::left_, Soundtrack::right_;

TEST_F(Soundtrack, IsPcmStereoAt44100HzIn16BitsAndWholeBarsBetween60And108Seconds)
{
    ASSERT_GT(bytes_.size(), kWavHeaderBytes);
    EXPECT_EQ(tag(bytes_, 0), "RIFF");
    EXPECT_EQ(le32(bytes_, 4), bytes_.size() - 8);
    EXPECT_EQ(tag(bytes_, 8), "WAVE");
    EXPECT_EQ(tag(bytes_, 12), "fmt ");
    EXPECT_EQ(le16(bytes_, 20), 1);  // PCM
    EXPECT_EQ(le16(bytes_, 22), 2);
    EXPECT_EQ(le32(bytes_, 24), static_cast<std::uint32_t>(kSampleRate));
    EXPECT_EQ(le16(bytes_, 34), 16);
    EXPECT_EQ(tag(bytes_, 36), "data");
    EXPECT_EQ(le32(bytes_, 40), bytes_.size() - kWavHeaderBytes);

    const double seconds = static_cast<double>(left_.size()) / kSampleRate;
    EXPECT_GE(seconds, 60.0);
    EXPECT_LE(seconds, 108.0);
    EXPECT_EQ(left_.size() % kFramesPerBar, 0u) << "the loop must close on a bar line";
}

// Folds the energy envelope (10 ms windows) at each period from 0.30 s to 0.70 s and finds
// the 50 ms stretch of the fold that stands out most: a steady 120 BPM stands out at 0.5 s
// only, and at the start of each period, since the tune begins on a downbeat.
TEST_F(Soundtrack, BeatEnergyRecursEveryHalfSecondFromTheFirstSample)
{
    constexpr int kWindow = kSampleRate / 100;
    constexpr int kSpan = 5;  // 50 ms
    std::vector<double> energy;
    for (std::size_t start = 0; start + kWindow <= left_.size(); start += kWindow) {
        double sum = 0.0;
        for (std::size_t i = start; i < start + kWindow; ++i)
            sum += static_cast<double>(left_[i]) * left_[i] + static_cast<double>(right_[i]) * right_[i];
        energy.push_back(sum);
    }
    struct Fold {
        double contrast;
        int phase;
    };
    auto fold = [&](int period) {
        std::vector<double> profile(static_cast<std::size_t>(period), 0.0);
        for (std::size_t w = 0; w < energy.size(); ++w) profile[w % static_cast<std::size_t>(period)] += energy[w];
        double total = 0.0;
        for (double p : profile) total += p;
        Fold best{0.0, 0};
        for (int s = 0; s < period; ++s) {
            double head = 0.0;
            for (int k = 0; k < kSpan; ++k) head += profile[static_cast<std::size_t>((s + k) % period)];
            const double contrast = (head / kSpan) / ((total - head) / (period - kSpan));
            if (contrast > best.contrast) best = {contrast, s};
        }
        return best;
    };

    const Fold beat = fold(50);
    EXPECT_GT(beat.contrast, 1.5);
    EXPECT_EQ(beat.phase, 0);
    for (int period = 30; period <= 70; ++period) {
        if (period != 50) {
            EXPECT_LT(fold(period).contrast, 0.8 * beat.contrast) << "period " << period * 10 << " ms";
        }
    }
}

// The arrangement as the schedule needs it: the kit lifts the level when the first
// full-screen scene starts at 10 s, the break before 46 s drops it, and the limiter keeps
// the loudest passages off full scale while the whole stays at a sensible loudness.
TEST_F(Soundtrack, LevelsFollowTheScheduleWithoutClipping)
{
    auto rms = [&](double from, double to) {
        double sum = 0.0;
        const auto first = static_cast<std::size_t>(from * kSampleRate), last = static_cast<std::size_t>(to * kSampleRate);
        for (std::size_t i = first; i < last; ++i)
            sum += static_cast<double>(left_[i]) * left_[i] + static_cast<double>(right_[i]) * right_[i];
        return std::sqrt(sum / static_cast<double>(2 * (last - first)));
    };
    const double picture = rms(0.0, 9.0), firstScene = rms(10.0, 26.0);
    const double breakdown = rms(42.0, 45.0), finale = rms(46.0, 62.0);
    EXPECT_GT(firstScene, 1.3 * picture);
    EXPECT_LT(breakdown, 0.75 * finale);

    constexpr double kFullScale = 32768.0;
    int loudest = 0;
    for (const std::vector<std::int16_t>* channel : {&left_, &right_})
        for (std::int16_t sample : *channel) loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
    EXPECT_LT(loudest, 0.99 * kFullScale);
    EXPECT_GT(rms(0.0, static_cast<double>(left_.size()) / kSampleRate), 0.1 * kFullScale);  // above -20 dBFS
}

// The loop plays the last frame, then the first. A click is a step that leaves the slope of
// the wave: the step across the join may depart from the mean of the steps beside it no
// more than the steps within 10 ms of it do (a kick starting on the downbeat bends the
// wave there too, so this is the largest nearby, not a typical one).
TEST_F(Soundtrack, LoopJoinsWithoutAStep)
{
    constexpr std::size_t kAround = kSampleRate / 100;
    ASSERT_GT(left_.size(), 2 * kAround);
    for (const std::vector<std::int16_t>* channel : {&left_, &right_}) {
        std::vector<double> played(channel->end() - static_cast<long>(kAround), channel->end());
        played.insert(played.end(), channel->begin(), channel->begin() + static_cast<long>(kAround));
        const std::size_t join = kAround - 1;  // the step from the last frame to the first
        auto departure = [&](std::size_t i) {
            const double before = played[i] - played[i - 1], step = played[i + 1] - played[i];
            const double after = played[i + 2] - played[i + 1];
            return std::abs(step - 0.5 * (before + after));
        };
        double nearby = 0.0;
        for (std::size_t i = 1; i + 2 < played.size(); ++i)
            if (i != join) nearby = std::max(nearby, departure(i));
        EXPECT_LE(departure(join), nearby) << (channel == &left_ ? "left" : "right");
    }
}

TEST_F(Soundtrack, SecondRenderIsByteIdentical)
{
    EXPECT_TRUE(runInTempDir(DEMOTUNE_TOOL, "demotune.wav") == bytes_);
}

TEST(Poster, DecodesAsOpaqueRgbaAt1280By720)
{
    const std::vector<std::uint8_t> png = readFile(POSTER_PNG);
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &width, &height, &channels, 0);
    ASSERT_NE(pixels, nullptr) << stbi_failure_reason();
    EXPECT_EQ(channels, 4);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(height, 720);
    EXPECT_EQ(width * 9, height * 16);
    bool opaque = true;
    for (int i = 0; i < width * height && channels == 4; ++i) opaque = opaque && pixels[4 * i + 3] == 255;
    EXPECT_TRUE(opaque);
    stbi_image_free(pixels);
}

TEST(Poster, SecondPaintIsByteIdentical)
{
    EXPECT_TRUE(runInTempDir(POSTER_TOOL, "poster.png") == readFile(POSTER_PNG));
}

}  // namespace
