// The show's direction as a viewer meets it, read from frames that the real scene code renders
// at 60 a second: the visual accents (cuts, flashes and pulses of the light) against the kicks
// of the tune's score as heard, the music lagging the picture by the lag constant of the
// full-screen scenes' vertex shader. Frames are rendered at 96x54 (the scenes draw for any
// "u_resolution"), which keeps a pass over the show to seconds on llvmpipe. Runs in build/,
// where the shaders sit.
#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>

#include "gl_test_support.hpp"
#include "scenes.hpp"
#include "score.hpp"

namespace {

constexpr double kFrame = 1.0 / 60.0;
constexpr double kBeat = 60.0 / synth::kBeatsPerMinute;

// The spans studied, inside each scene's fades.
struct Span {
    const char* name;
    double from;
    double to;
};
constexpr Span kSceneTwo{"scene 2", 11.0, 44.5};
constexpr Span kSceneThree{"scene 3", 47.0, 104.0};

// Seconds of picture ahead of the sound, as the shaders have it.
std::optional<double> musicLag()
{
    std::ostringstream text;
    text << std::ifstream(kScreenVertexShader).rdbuf();
    const std::string source = text.str();
    std::smatch found;
    if (!std::regex_search(source, found, std::regex(R"(const float MUSIC_LAG = ([0-9.]+);)")))
        return std::nullopt;
    return std::stod(found[1]);
}

using Rgb = std::array<double, 3>;

double lumaOf(const Rgb& c) { return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2]; }

// A frame as the analysis sees it: RGB 0-1 as the framebuffer holds it, top row first, and its
// mean luma.
struct Frame {
    static constexpr int kWidth = 96, kHeight = 54;
    double t = 0.0;
    std::vector<Rgb> rgb;
    double luma = 0.0;

    double at(int x, int y) const { return lumaOf(rgb[std::size_t(y * kWidth + x)]); }
};

// Where the colours lie: the mean colour of each of 4x3 blocks as shares of red, green and
// blue. Brightness plays no part, so a fade, a flash or a pulse of the light changes it little;
// a new picture changes it wholesale. Near-black blocks count as grey.
constexpr int kBlocksX = 4, kBlocksY = 3;
using ColourLayout = std::array<Rgb, kBlocksX * kBlocksY>;

ColourLayout colourLayout(const Frame& frame)
{
    constexpr double kGrey = 0.02;
    ColourLayout layout{};
    for (int y = 0; y < Frame::kHeight; ++y)
        for (int x = 0; x < Frame::kWidth; ++x)
            for (std::size_t c = 0; c < 3; ++c)
                layout[std::size_t(y * kBlocksY / Frame::kHeight * kBlocksX + x * kBlocksX / Frame::kWidth)][c] +=
                    frame.rgb[std::size_t(y * Frame::kWidth + x)][c];
    const double pixels = double(Frame::kWidth * Frame::kHeight / (kBlocksX * kBlocksY));
    for (Rgb& block : layout) {
        const double sum = (block[0] + block[1] + block[2]) / pixels + 3.0 * kGrey;
        for (double& c : block)
            c = (c / pixels + kGrey) / sum;
    }
    return layout;
}

double layoutDistance(const ColourLayout& a, const ColourLayout& b)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t c = 0; c < 3; ++c)
            sum += 0.5 * std::abs(a[i][c] - b[i][c]) / double(a.size());
    return sum;
}

// A cut: the colours' layout changes between one frame and the next many times more than it
// does from frame to frame around it, and by a good part of the picture.
constexpr double kCutOverMotion = 5.0;
constexpr double kCutAtLeast = 0.04;
constexpr double kMotionAround = 1.0;  // seconds each side for the frame-to-frame motion
// Frames darker than this, in the scenes' fades, have no colours worth comparing.
constexpr double kDarkest = 0.03;
// A flash or a pulse of the light: most of the picture brightens at once, by this share or
// more over the frame before; things moving only brighten a part of it. Measured over 8x6
// blocks, the median block's rise; black blocks count as faintly lit.
constexpr double kAccentRise = 0.15;
constexpr int kAccentBlocksX = 8, kAccentBlocksY = 6;
constexpr double kFaintest = 0.01;

std::vector<double> blockLumas(const Frame& frame)
{
    std::vector<double> blocks(kAccentBlocksX * kAccentBlocksY, 0.0);
    const double pixels = double(Frame::kWidth * Frame::kHeight / (kAccentBlocksX * kAccentBlocksY));
    for (int y = 0; y < Frame::kHeight; ++y)
        for (int x = 0; x < Frame::kWidth; ++x)
            blocks[std::size_t(y * kAccentBlocksY / Frame::kHeight * kAccentBlocksX +
                               x * kAccentBlocksX / Frame::kWidth)] += frame.at(x, y) / pixels;
    return blocks;
}

double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// What the tests read from one frame of a span against the frame before.
struct Moment {
    double t;
    double change = 0.0;  // of the colours' layout; 0 when either frame is too dark to tell
    bool cut = false;     // the change stands out from the motion around it
    bool flash = false;   // the rise is a flash or a pulse
};

class Direction : public testing::Test {
protected:
    void SetUp() override
    {
        const CoutCapture quiet;
        scenes_.emplace(loadScenes());
        ASSERT_EQ(quiet.text(), "") << "the shipped data must build without a report";
    }

    Frame frameAt(double t) const
    {
        renderFrame(*scenes_, float(t), Resolution{float(Frame::kWidth), float(Frame::kHeight)});
        const std::vector<std::uint8_t> rgba = target_.readRgba();
        Frame frame;
        frame.t = t;
        for (std::size_t i = 0; i < rgba.size(); i += 4) {
            frame.rgb.push_back({rgba[i] / 255.0, rgba[i + 1] / 255.0, rgba[i + 2] / 255.0});
            frame.luma += lumaOf(frame.rgb.back()) / double(rgba.size() / 4);
        }
        return frame;
    }

    // Each frame of the span after its first, at 60 a second on the 60 Hz grid of demo time,
    // with its cut and flash marked.
    std::vector<Moment> walk(const Span& span) const;

    OffscreenTarget target_{Frame::kWidth, Frame::kHeight};
    std::optional<Scenes> scenes_;  // made once the context exists
};

std::vector<Moment> Direction::walk(const Span& span) const
{
    std::vector<Moment> moments;
    std::optional<ColourLayout> layout;
    std::vector<double> blocks;
    for (double k = std::ceil(span.from / kFrame); k * kFrame < span.to; ++k) {
        const Frame frame = frameAt(k * kFrame);
        std::optional<ColourLayout> now;
        if (frame.luma >= kDarkest)
            now = colourLayout(frame);
        std::vector<double> light = blockLumas(frame);
        if (!blocks.empty()) {
            Moment moment{frame.t};
            if (layout && now)
                moment.change = layoutDistance(*layout, *now);
            std::vector<double> rises;
            for (std::size_t i = 0; i < light.size(); ++i)
                rises.push_back((light[i] + kFaintest) / (blocks[i] + kFaintest) - 1.0);
            moment.flash = median(rises) > kAccentRise;
            moments.push_back(moment);
        }
        layout = now;
        blocks = std::move(light);
    }
    for (Moment& moment : moments) {
        std::vector<double> around;
        for (const Moment& other : moments)
            if (&other != &moment && std::abs(other.t - moment.t) <= kMotionAround)
                around.push_back(other.change);
        moment.cut = moment.change >= kCutAtLeast && moment.change >= kCutOverMotion * median(around);
    }
    return moments;
}

// The accents are the flashes, pulses and cuts; each falls on the first frame at or after a
// beat of the tune as heard, and every kick heard has one there.
TEST_F(Direction, TheAccentsLandOnTheKicksAsHeard)
{
    const std::optional<double> lag = musicLag();
    ASSERT_TRUE(lag) << "no MUSIC_LAG constant in " << kScreenVertexShader;
    const synth::Score score = synth::demoTune();
    std::vector<double> kicks;  // demo time of each kick as heard, the tune looping
    for (const synth::Note& note : score.notes)
        if (note.instrument == synth::Instrument::Kick)
            for (double loop : {0.0, score.seconds()})
                kicks.push_back(synth::beatsToSeconds(note.beat) + loop + *lag);

    for (const Span& span : {kSceneTwo, kSceneThree}) {
        std::vector<double> accents;
        for (const Moment& moment : walk(span))
            if (moment.flash || moment.cut)
                accents.push_back(moment.t);
        int offBeat = 0;
        for (double t : accents) {
            const double sinceBeat = std::fmod(t - *lag + 10.0 * kBeat, kBeat);
            if (sinceBeat >= kFrame + 1e-6) {
                ++offBeat;
                ADD_FAILURE() << span.name << ": an accent at " << t << " s, " << sinceBeat
                              << " s after the beat as heard";
            }
        }
        int kicked = 0, missed = 0;
        for (double kick : kicks)
            if (kick > span.from && kick + kFrame < span.to) {
                ++kicked;
                if (std::none_of(accents.begin(), accents.end(),
                                 [&](double t) { return t >= kick - 1e-6 && t < kick + kFrame; })) {
                    ++missed;
                    ADD_FAILURE() << span.name << ": no accent within a frame of the kick heard at " << kick << " s";
                }
            }
        std::printf("%s: %zu accents, %d of them off the beat; %d kicks heard, %d without an accent\n", span.name,
                    accents.size(), offBeat, kicked, missed);
        EXPECT_GT(kicked, 0) << span.name;
    }
}

}  // namespace
