// The flash analyser on made sequences with known answers, at 60 frames a second on 30x30
// frames (cells of 10x10): strobes, pulses and ramps over the whole frame, over part of each
// cell, moving stripes, light that flickers only among bright levels, and red on its own.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>

#include "tooling/flash_analyser.hpp"
#include "tooling/flash_report.hpp"

namespace {

constexpr int kSide = 30, kCell = 10;
constexpr double kFps = 60.0;

// The analyser's spans for `seconds` of frames whose luminance at (x, y) in frame f is given,
// their red value `red` times it.
std::vector<FlashSpan> analyse(double seconds, const std::function<float(int f, int x, int y)>& light, float red = 0.0f)
{
    FlashAnalyser analyser(kSide, kSide, kFps);
    std::vector<float> luminance(kSide * kSide), reds(kSide * kSide);
    for (int f = 0; f < seconds * kFps; ++f) {
        for (int i = 0; i < kSide * kSide; ++i) {
            luminance[std::size_t(i)] = light(f, i % kSide, i / kSide);
            reds[std::size_t(i)] = red * luminance[std::size_t(i)];
        }
        analyser.addPlanes(luminance.data(), reds.data());
    }
    return analyser.spans();
}

// A wave between two levels: `hertz` cycles a second, half at each level (or, smooth, a triangle).
std::function<float(int, int, int)> wave(double hertz, float low, float high, bool smooth = false)
{
    return [=](int f, int, int) {
        const double phase = std::fmod(f / kFps * hertz, 1.0);
        const double up = smooth ? 1.0 - std::abs(2.0 * phase - 1.0) : (phase < 0.5 ? 0.0 : 1.0);
        return float(double(low) + double(high - low) * up);
    };
}

bool fails(const std::vector<FlashSpan>& spans, FlashKind kind)
{
    for (const FlashSpan& span : spans)
        if (span.kind == kind && span.fails)
            return true;
    return false;
}

TEST(FlashAnalyser, StrobesFailPulsesKeptUpFailSlowLightPasses)
{
    const std::vector<FlashSpan> strobe = analyse(3.0, wave(7.5, 0.0f, 1.0f));
    ASSERT_TRUE(fails(strobe, FlashKind::General));
    EXPECT_EQ(describeFlashes(strobe.front()),
              "flashes: 0.00–3.00 s, whole screen: 7.5 general flashes in a second (limit 3)");
    // Light rising and falling over several frames flashes as much as light that switches.
    EXPECT_TRUE(fails(analyse(3.0, wave(3.5, 0.2f, 0.5f, true)), FlashKind::General));

    const std::vector<FlashSpan> pulse = analyse(10.0, wave(2.0, 0.1f, 0.6f));
    EXPECT_FALSE(fails(pulse, FlashKind::General)) << "2 flashes a second are within the limit";
    EXPECT_TRUE(fails(pulse, FlashKind::Sustained)) << "but not for 4 seconds of 5";
    EXPECT_TRUE(analyse(3.5, wave(2.0, 0.1f, 0.6f)).empty()) << "3 seconds of them";

    EXPECT_TRUE(analyse(10.0, wave(1.0, 0.0f, 1.0f)).empty()) << "1 Hz";
    EXPECT_TRUE(analyse(5.0, [](int f, int, int) { return float(f / (5.0 * kFps)); }).empty()) << "a slow ramp";
    // Between bright levels only: the darker side is not below 0.8.
    EXPECT_TRUE(analyse(3.0, wave(7.5, 0.85f, 1.0f)).empty()) << "bright flicker";
}

TEST(FlashAnalyser, AreasThatChangeTogetherCountOverAQuarterOfARegion)
{
    const auto strobeOver = [](int columns) {
        return analyse(3.0, [=](int f, int x, int) { return x % kCell < columns ? wave(7.5, 0.0f, 1.0f)(f, x, 0) : 0.5f; });
    };
    EXPECT_TRUE(strobeOver(2).empty()) << "a fifth of every cell";
    EXPECT_TRUE(fails(strobeOver(4), FlashKind::General)) << "two fifths of every cell";
    // High-contrast stripes moving a pixel a frame: the light changes everywhere, its mean not.
    EXPECT_TRUE(analyse(3.0, [](int f, int x, int) { return (x + f) / 5 % 2 == 0 ? 1.0f : 0.0f; }).empty());
}

// Saturated red against a green of the same luminance, 5 times a second, read from the frames'
// own RGBA: red flashes, and no general one (the luminance hardly moves), so the red rule is
// seen on its own.
TEST(FlashAnalyser, RedAgainstAGreenOfItsLuminanceFailsTheRedRuleAlone)
{
    constexpr std::uint8_t kGreenOfRedsLuminance = 148;  // sRGB; 0.212 against red's 0.213
    FlashAnalyser analyser(kSide, kSide, kFps);
    std::vector<std::uint8_t> frame(std::size_t(kSide * kSide * 4), 255);
    for (int f = 0; f < 3 * kFps; ++f) {
        const bool red = wave(5.0, 0.0f, 1.0f)(f, 0, 0) > 0.5f;
        for (std::size_t i = 0; i < frame.size(); i += 4) {
            frame[i] = red ? 255 : 0;
            frame[i + 1] = red ? 0 : kGreenOfRedsLuminance;
            frame[i + 2] = 0;
        }
        analyser.addRgba(frame.data());
    }
    const std::vector<FlashSpan> spans = analyser.spans();
    ASSERT_TRUE(fails(spans, FlashKind::Red));
    EXPECT_EQ(spans.front().region, FlashAnalyser::kWholeFrame);
    for (const FlashSpan& span : spans)
        EXPECT_EQ(span.kind, FlashKind::Red) << describeFlashes(span);
}

}  // namespace
