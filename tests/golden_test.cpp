// Golden frames: a few frames of each scene rendered by the real scene code at the show's
// 1920x1080, averaged down and compared with the references committed in tests/golden/. The
// tolerance passes llvmpipe's noise and fails a real change; a failure leaves the actual frame
// and a difference picture in build/tests/. GOLDEN_REFRESH=1 (scripts/refresh-golden) rewrites
// the references instead.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <optional>
#include <string>
#include <vector>

#include "gl_test_support.hpp"
#include "offscreen.hpp"
#include "scenes.hpp"
#include "window.hpp"

namespace {

// Blocks of 8x8 show pixels: small files, and rasterisation noise averages away.
constexpr int kGoldenWidth = 240;
constexpr int kGoldenHeight = 135;
constexpr int kChannels = 4;

// Two moments of each scene, away from its fades: the poster mid-wipe and with its glint,
// the spheres early and late in their dance, the tunnel before and after the fold. All sit
// between beats, where nothing switches, and the tunnel's finale is left out: there a
// hundred-microsecond shift of time already moves whole rings, so any rounding would.
struct Moment {
    const char* name;
    float t;
};
constexpr Moment kMoments[] = {{"scene1-2.3", 2.3f},   {"scene1-5.7", 5.7f},
                               {"scene2-18.3", 18.3f}, {"scene2-38.6", 38.6f},
                               {"scene3-52.3", 52.3f}, {"scene3-83.3", 83.3f}};

// Per channel, 0 to 255, over red, green and blue. The mean bounds a change spread thinly
// over the frame; the percentile of each pixel's largest channel difference bounds a change
// in a small area while letting a few edge pixels flip. llvmpipe repeats itself exactly; a
// shift of time by 0.1 ms, standing in for rounding on other hosts, stays within a quarter
// of each bound, while a 1% change of a camera or colour constant exceeds one.
constexpr double kMaxMeanDifference = 0.2;
constexpr double kPercentile = 0.999;
constexpr int kMaxPercentileDifference = 8;
// The difference picture brightens what changed so that small differences show.
constexpr int kDiffGain = 8;

using Pixels = std::vector<std::uint8_t>;

struct Difference {
    double mean = 0.0;
    int percentile = 0;
    bool passes() const { return mean <= kMaxMeanDifference && percentile <= kMaxPercentileDifference; }
};

Difference compare(const Pixels& actual, const Pixels& expected)
{
    Difference result;
    std::vector<int> largest;
    double sum = 0.0;
    for (std::size_t i = 0; i < actual.size(); i += kChannels) {
        int most = 0;
        for (std::size_t c = 0; c < 3; ++c) {
            const int d = std::abs(int{actual[i + c]} - int{expected[i + c]});
            sum += d;
            most = std::max(most, d);
        }
        largest.push_back(most);
    }
    result.mean = sum / static_cast<double>(largest.size() * 3);
    const auto at = largest.begin() + static_cast<std::ptrdiff_t>(kPercentile * static_cast<double>(largest.size() - 1));
    std::nth_element(largest.begin(), at, largest.end());
    result.percentile = *at;
    return result;
}

// What changed, bright red over a dimmed copy of the actual frame.
Pixels diffPicture(const Pixels& actual, const Pixels& expected)
{
    Pixels diff(actual.size());
    for (std::size_t i = 0; i < actual.size(); i += kChannels) {
        int most = 0;
        int grey = 0;
        for (std::size_t c = 0; c < 3; ++c) {
            most = std::max(most, std::abs(int{actual[i + c]} - int{expected[i + c]}));
            grey += actual[i + c];
        }
        const int dim = grey / 3 / 4;
        diff[i] = static_cast<std::uint8_t>(std::min(255, dim + most * kDiffGain));
        diff[i + 1] = diff[i + 2] = static_cast<std::uint8_t>(dim);
        diff[i + 3] = 255;
    }
    return diff;
}

void writePng(const std::string& path, const Pixels& rgba)
{
    std::ofstream(path, std::ios::binary) << pngFile(kGoldenWidth, kGoldenHeight, kChannels, rgba.data());
}

std::optional<Pixels> readPng(const std::string& path)
{
    stbi_set_flip_vertically_on_load(false);  // the texture loader leaves it on
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* data = stbi_load(path.c_str(), &width, &height, &channels, kChannels);
    if (data == nullptr)
        return std::nullopt;
    std::optional<Pixels> pixels;
    if (width == kGoldenWidth && height == kGoldenHeight)
        pixels.emplace(data, data + static_cast<std::size_t>(width) * height * kChannels);
    stbi_image_free(data);
    return pixels;
}

bool refreshing()
{
    const char* refresh = std::getenv("GOLDEN_REFRESH");
    return refresh != nullptr && std::string(refresh) == "1";
}

TEST(Golden, EachSceneMatchesItsReferenceFrames)
{
    const OffscreenTarget target(kWindowWidth, kWindowHeight);
    std::optional<Scenes> scenes;
    {
        const CoutCapture quiet;
        scenes.emplace(loadScenes());
        ASSERT_EQ(quiet.text(), "") << "the shipped data must build without a report";
    }
    for (const Moment& moment : kMoments) {
        SCOPED_TRACE(moment.name);
        renderFrame(*scenes, moment.t);
        const Pixels actual = downscaleRgba(target.readRgba(), target.width(), target.height(),
                                            kGoldenWidth, kGoldenHeight);
        const std::string reference = std::string(GOLDEN_DIR "/") + moment.name + ".png";
        if (refreshing()) {
            writePng(reference, actual);
            continue;
        }
        const std::optional<Pixels> expected = readPng(reference);
        ASSERT_TRUE(expected.has_value()) << reference << " is missing or not " << kGoldenWidth << "x"
                                          << kGoldenHeight << ": scripts/refresh-golden makes it";
        const Difference difference = compare(actual, *expected);
        if (difference.passes())
            continue;
        const std::string out = std::string(GOLDEN_OUT "/") + moment.name;
        writePng(out + ".actual.png", actual);
        writePng(out + ".diff.png", diffPicture(actual, *expected));
        ADD_FAILURE() << std::setprecision(3) << "differs from " << reference << ": mean " << difference.mean << " (at most "
                      << kMaxMeanDifference << "), " << kPercentile * 100 << "th percentile "
                      << difference.percentile << " (at most " << kMaxPercentileDifference
                      << "); wrote " << out << ".actual.png and .diff.png";
    }
}

}  // namespace
