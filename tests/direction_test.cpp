// The show's direction as a viewer meets it, read from frames that the real scene code renders
// at 60 a second: the shots of scene 2 and the sections of scene 3 (cuts, and looks that differ
// in more than their colours), and the visual accents against the kicks of the tune's score as
// heard, the music lagging the picture by the lag constant of the full-screen scenes' vertex
// shader. Frames are rendered at 96x54 (the scenes draw for any "u_resolution"), which keeps
// the two passes over the show to seconds on llvmpipe. Runs in build/, where the shaders sit.
#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <functional>
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

// What a frame shows with its colours left out: histograms (each summing to 1) of the
// directions its edges run in, of where its light lies from the middle out, top to bottom and
// left to right, of its levels against its mean, and of its edges' strength against the mean.
constexpr int kBins = 8;
using Histogram = std::array<double, kBins>;
using Look = std::array<Histogram, 6>;

std::size_t bin(double x) { return std::size_t(std::clamp(int(x * kBins), 0, kBins - 1)); }

void normalise(Histogram& h)
{
    double total = 1e-12;
    for (double v : h)
        total += v;
    for (double& v : h)
        v /= total;
}

Look lookOf(const Frame& frame)
{
    constexpr int w = Frame::kWidth, h = Frame::kHeight;
    Look look{};
    auto& [orientation, radial, rows, columns, levels, edges] = look;
    const double mean = frame.luma + 1e-6;
    const double corner = std::hypot(w / 2.0, h / 2.0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double v = frame.at(x, y);
            radial[bin(std::hypot(x + 0.5 - w / 2.0, y + 0.5 - h / 2.0) / corner)] += v;
            rows[bin((y + 0.5) / h)] += v;
            columns[bin((x + 0.5) / w)] += v;
            levels[bin(v / mean / 2.0)] += 1.0;
            if (x == 0 || y == 0 || x + 1 == w || y + 1 == h)
                continue;
            const double gx = frame.at(x + 1, y - 1) + 2 * frame.at(x + 1, y) + frame.at(x + 1, y + 1) -
                              frame.at(x - 1, y - 1) - 2 * frame.at(x - 1, y) - frame.at(x - 1, y + 1);
            const double gy = frame.at(x - 1, y + 1) + 2 * frame.at(x, y + 1) + frame.at(x + 1, y + 1) -
                              frame.at(x - 1, y - 1) - 2 * frame.at(x, y - 1) - frame.at(x + 1, y - 1);
            const double angle = std::atan2(gy, gx);
            orientation[bin((angle < 0.0 ? angle + M_PI : angle) / M_PI)] += std::hypot(gx, gy);
            edges[bin(std::hypot(gx, gy) / mean / 8.0)] += 1.0;
        }
    for (Histogram& part : look)
        normalise(part);
    return look;
}

double lookDistance(const Look& a, const Look& b)
{
    double sum = 0.0;
    for (std::size_t part = 0; part < a.size(); ++part)
        for (std::size_t i = 0; i < kBins; ++i)
            sum += 0.5 * std::abs(a[part][i] - b[part][i]) / double(a.size());
    return sum;
}

// A cut: the colours' layout changes between one frame and the next many times more than it
// does from frame to frame around it, and by a good part of the picture. A change within two
// seconds of the one before is the same transition going on (a strobe, a flash dying away).
constexpr double kCutOverMotion = 5.0;
constexpr double kCutAtLeast = 0.04;
constexpr double kMotionAround = 1.0;   // seconds each side for the frame-to-frame motion
constexpr double kTransition = 2.0;
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
    double rise = 0.0;    // of the median block's light
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

    // Every frame of the span at 60 a second, on the 60 Hz grid of demo time.
    void eachFrame(const Span& span, const std::function<void(const Frame&)>& use) const
    {
        for (double k = std::ceil(span.from / kFrame); k * kFrame < span.to; ++k)
            use(frameAt(k * kFrame));
    }

    // Each frame of the span after its first, with its cut and flash marked; `see` is shown every
    // frame as it is rendered.
    std::vector<Moment> walk(const Span& span, const std::function<void(const Frame&)>& see = {}) const;

    OffscreenTarget target_{Frame::kWidth, Frame::kHeight};
    std::optional<Scenes> scenes_;  // made once the context exists
};

std::vector<Moment> Direction::walk(const Span& span, const std::function<void(const Frame&)>& see) const
{
    std::vector<Moment> moments;
    std::optional<ColourLayout> layout;
    std::vector<double> blocks;
    eachFrame(span, [&](const Frame& frame) {
        if (see)
            see(frame);
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
            moment.rise = median(rises);
            moment.flash = moment.rise > kAccentRise;
            moments.push_back(moment);
        }
        layout = now;
        blocks = std::move(light);
    });
    for (Moment& moment : moments) {
        std::vector<double> around;
        for (const Moment& other : moments)
            if (&other != &moment && std::abs(other.t - moment.t) <= kMotionAround)
                around.push_back(other.change);
        moment.cut = moment.change >= kCutAtLeast && moment.change >= kCutOverMotion * median(around);
    }
    return moments;
}

// Two sections whose looks differ by less than this read as one, seen again or recoloured.
constexpr double kDifferentLook = 0.06;

TEST_F(Direction, SceneTwoCutsBetweenFourShotsAndSceneThreeBetweenFiveSections)
{
    // The sections' looks are taken halfway between the kicks as heard, where the flashes on the
    // beat are gone; without the lag constant, halfway between the tune's own beats.
    const double lag = musicLag().value_or(0.0);
    const auto distinctSections = [&](const Span& span) {
        std::vector<Frame> between;
        const std::vector<Moment> moments = walk(span, [&](const Frame& frame) {
            const double phase = std::fmod(frame.t - lag + 10.0 * kBeat, kBeat) / kBeat;
            if (std::abs(phase - 0.5) < 0.5 * kFrame / kBeat && frame.luma >= kDarkest)
                between.push_back(frame);
        });
        std::vector<double> cuts{span.from};
        double lastCut = -1e9;
        for (const Moment& moment : moments)
            if (moment.cut) {
                if (moment.t - lastCut >= kTransition)
                    cuts.push_back(moment.t);
                lastCut = moment.t;
            }
        // Each span between cuts, by the mean of its looks; one like the one before joins it.
        std::vector<std::pair<double, Look>> sections;
        for (std::size_t c = 0; c < cuts.size(); ++c) {
            const double end = c + 1 < cuts.size() ? cuts[c + 1] : span.to;
            Look mean{};
            int count = 0;
            for (const Frame& frame : between)
                if (frame.t >= cuts[c] && frame.t < end) {
                    const Look look = lookOf(frame);
                    for (std::size_t part = 0; part < look.size(); ++part)
                        for (std::size_t i = 0; i < kBins; ++i)
                            mean[part][i] += look[part][i];
                    ++count;
                }
            if (count == 0)
                continue;
            for (Histogram& part : mean)
                normalise(part);
            const double change = sections.empty() ? 1.0 : lookDistance(sections.back().second, mean);
            std::printf("%s: cut at %6.2f s, the look %.3f from the one before%s\n", span.name, cuts[c], change,
                        change < kDifferentLook ? ": the same section" : "");
            if (change >= kDifferentLook)
                sections.emplace_back(cuts[c], mean);
        }
        std::printf("%s: %zu sections, from", span.name, sections.size());
        for (const auto& section : sections)
            std::printf(" %.2f", section.first);
        std::printf(" s\n");
        return sections.size();
    };
    EXPECT_GE(distinctSections(kSceneTwo), 4u) << "scene 2's shots";
    EXPECT_GE(distinctSections(kSceneThree), 5u) << "scene 3's sections";
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
