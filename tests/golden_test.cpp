// Golden frames: a few frames of each scene rendered by the real scene code at the show's
// 1920x1080, averaged down and compared with the references committed in tests/golden/. The
// tolerance passes llvmpipe's noise and fails a real change; a failure leaves the actual frame
// in build/tests/. GOLDEN_REFRESH=1 (scripts/refresh-golden) rewrites
// the references instead.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "gl_test_support.hpp"
#include "show/show_size.hpp"
#include "show/scenes.hpp"
#include "tooling/pixels.hpp"

namespace {

// Blocks of 8x8 show pixels: small files, and rasterisation noise averages away.
constexpr int kWidth = 240, kHeight = 135;

// Two moments of the poster and one of each shot of scene 2 and section of scene 3, away
// from the fades and halfway between the beats as heard, where nothing switches; and the ends
// of the first and last scenes, faded almost to black. The finale is left out: there 0.1 ms
// of time already moves whole rings.
constexpr std::pair<const char*, float> kMoments[] = {
    {"scene1-2.3", 2.3f},     {"scene1-5.7", 5.7f},     {"scene1-8.9", 8.9f},     {"scene2-14.49", 14.49f},
    {"scene2-22.49", 22.49f}, {"scene2-30.49", 30.49f}, {"scene2-38.49", 38.49f}, {"scene3-52.49", 52.49f},
    {"scene3-66.49", 66.49f}, {"scene3-74.49", 74.49f}, {"scene3-82.49", 82.49f}, {"scene3-88.49", 88.49f},
    {"scene3-97.49", 97.49f}, {"scene3-108.9", 108.9f}};

// Per channel, 0 to 255, over red, green and blue. The mean bounds a change spread thinly
// over the frame; the percentile of each pixel's largest channel difference bounds a change
// in a small area while letting a few edge pixels flip. llvmpipe repeats itself exactly; a
// shift of time by 0.1 ms, standing in for rounding on other hosts, stays within a quarter
// of each bound, while a 1% change of a camera or colour constant exceeds one.
constexpr double kMaxMeanDifference = 0.2, kPercentile = 0.999;
constexpr int kMaxPercentileDifference = 8;

void writePng(const std::string& path, const std::vector<std::uint8_t>& rgba)
{
    std::ofstream(path, std::ios::binary) << pngFile(kWidth, kHeight, 4, rgba.data());
}

TEST(Golden, EachSceneMatchesItsReferenceFrames)
{
    const OffscreenTarget target(kShowWidth, kShowHeight);
    std::optional<Scenes> scenes;
    {
        const CoutCapture quiet;
        scenes.emplace(loadScenes());
        ASSERT_EQ(quiet.text(), "") << "the shipped data must build without a report";
    }
    const char* refresh = std::getenv("GOLDEN_REFRESH");
    stbi_set_flip_vertically_on_load(false);  // the texture loader leaves it on
    for (const auto& [name, t] : kMoments) {
        SCOPED_TRACE(name);
        renderFrame(*scenes, t);
        const auto actual = downscaleRgba(target.readRgba(), target.width(), target.height(), kWidth, kHeight);
        const std::string reference = std::string(GOLDEN_DIR "/") + name + ".png";
        if (refresh != nullptr && std::string(refresh) == "1") {
            writePng(reference, actual);
            continue;
        }
        int width = 0, height = 0, channels = 0;
        stbi_uc* expected = stbi_load(reference.c_str(), &width, &height, &channels, 4);
        ASSERT_TRUE(expected != nullptr && width == kWidth && height == kHeight)
            << reference << " is missing or not " << kWidth << "x" << kHeight << ": scripts/refresh-golden makes it";
        // Each pixel's largest channel difference.
        std::vector<int> largest;
        double sum = 0.0;
        for (std::size_t i = 0; i < actual.size(); i += 4) {
            int most = 0;
            for (std::size_t c = 0; c < 3; ++c) {
                const int d = std::abs(int{actual[i + c]} - int{expected[i + c]});
                sum += d;
                most = std::max(most, d);
            }
            largest.push_back(most);
        }
        stbi_image_free(expected);
        const double mean = sum / double(largest.size() * 3);
        const auto at = largest.begin() + std::ptrdiff_t(kPercentile * double(largest.size() - 1));
        std::nth_element(largest.begin(), at, largest.end());
        if (mean <= kMaxMeanDifference && *at <= kMaxPercentileDifference)
            continue;
        const std::string out = std::string(GOLDEN_OUT "/") + name + ".actual.png";
        writePng(out, actual);
        ADD_FAILURE() << "differs from " << reference << ": mean " << mean << " (at most " << kMaxMeanDifference
                      << "), " << kPercentile * 100 << "th percentile " << *at << " (at most "
                      << kMaxPercentileDifference << "); wrote " << out;
    }
}

}  // namespace
