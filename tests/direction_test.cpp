// The show's accents against the tune as heard, from frames that the real scene code renders on
// the 60 Hz grid of demo time: on the first frame of a bar's third beat heard (the music
// lagging the picture by the lag constant of the full-screen scenes' vertex shader) most of the
// picture brightens at once, and halfway after it nothing does. The other kicks are left out:
// the cuts land on a bar's first beat, and a cut may darken the picture; the second and fourth
// pulse too softly to stand out from motion, for the sake of viewers prone to seizures (which
// demo-check --flashes sees to). Frames are rendered at 96x54. Runs in build/, where the
// shaders sit.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>

#include "gl_test_support.hpp"
#include "cues.hpp"
#include "score.hpp"
#include "show/scenes.hpp"

namespace {

constexpr int kWidth = 96, kHeight = 54;
constexpr double kFrame = 1.0 / 60.0;
constexpr double kBeat = 60.0 / synth::kBeatsPerMinute;
constexpr int kBeatsPerBar = 4;
constexpr double kThirdBeat = 2.0;  // counted from 0
// Inside each full-screen scene's fades.
constexpr std::pair<double, double> kSpans[] = {{11.0, 44.5}, {47.0, 104.0}};
// A flash or a pulse of the light: the median of 8x6 blocks brightens by this share or more
// over the frame before (things moving only brighten a part of it); black counts as faint.
constexpr double kAccentRise = 0.15;
constexpr int kBlocksX = 8, kBlocksY = 6;
constexpr double kFaintest = 0.01;

// Seconds of picture ahead of the sound, as the shaders have it.
std::optional<double> musicLag()
{
    std::ostringstream text;
    text << std::ifstream(kScreenVertexShader).rdbuf();
    const std::string source = text.str();
    const std::string key = "const float MUSIC_LAG = ";
    const std::size_t at = source.find(key);
    if (at == std::string::npos)
        return std::nullopt;
    return std::stod(source.substr(at + key.size()));
}

class Direction : public testing::Test {
protected:
    void SetUp() override
    {
        const CoutCapture quiet;
        scenes_.emplace(loadScenes());
        ASSERT_EQ(quiet.text(), "") << "the shipped data must build without a report";
    }

    // The mean luma of each block of frame k of demo time.
    std::vector<double> blocks(long k) const
    {
        renderFrame(*scenes_, float(k * kFrame), Resolution{float(kWidth), float(kHeight)});
        const std::vector<std::uint8_t> rgba = target_.readRgba();
        std::vector<double> light(kBlocksX * kBlocksY, 0.0);
        for (std::size_t i = 0; i < rgba.size(); i += 4) {
            const int x = int(i / 4) % kWidth, y = int(i / 4) / kWidth;
            light[std::size_t(y * kBlocksY / kHeight * kBlocksX + x * kBlocksX / kWidth)] +=
                (0.2126 * rgba[i] + 0.7152 * rgba[i + 1] + 0.0722 * rgba[i + 2]) / 255.0 /
                (kWidth * kHeight / (kBlocksX * kBlocksY));
        }
        return light;
    }

    // How much frame k brightens over the one before, as the median block's share.
    double rise(long k) const
    {
        const std::vector<double> before = blocks(k - 1), now = blocks(k);
        std::vector<double> rises;
        for (std::size_t i = 0; i < now.size(); ++i)
            rises.push_back((now[i] + kFaintest) / (before[i] + kFaintest) - 1.0);
        std::nth_element(rises.begin(), rises.begin() + std::ptrdiff_t(rises.size() / 2), rises.end());
        return rises[rises.size() / 2];
    }

    OffscreenTarget target_{kWidth, kHeight};
    std::optional<Scenes> scenes_;  // made once the context exists
};

TEST_F(Direction, ThePulsesLandOnTheKicksAsHeard)
{
    const std::optional<double> lag = musicLag();
    ASSERT_TRUE(lag) << "no MUSIC_LAG constant in " << kScreenVertexShader;
    const synth::Score score = synth::demoTune(synth::readCues(DEMO_DATA));
    int kicks = 0;
    for (const synth::Note& note : score.notes) {
        const double heard = synth::beatsToSeconds(note.beat) + *lag;
        const bool inShow = std::any_of(std::begin(kSpans), std::end(kSpans),
                                        [&](const auto& span) { return heard > span.first && heard < span.second; });
        if (note.instrument != synth::Instrument::Kick || !inShow || std::fmod(note.beat, kBeatsPerBar) != kThirdBeat)
            continue;
        ++kicks;
        const long onKick = long(std::ceil(heard / kFrame - 1e-6));
        EXPECT_GT(rise(onKick), kAccentRise) << "no pulse on the frame of the kick heard at " << heard << " s";
        const long between = long(std::ceil((heard + kBeat / 2) / kFrame - 1e-6));
        EXPECT_LE(rise(between), kAccentRise) << "a pulse halfway after the kick heard at " << heard << " s";
    }
    EXPECT_GT(kicks, 40) << "a kick on each bar's third beat of scenes 2 and 3, their fades aside";
}

}  // namespace
