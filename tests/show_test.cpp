// The show's own data, drawn by the real scene code at the show's 1920x1080 and read back:
// the programs build without a report, and each scene is lit, varied and moving through its
// span, with the last scene gone to black by the end. Runs in build/, where the shipped
// shaders and picture sit.
#include <optional>
#include <set>

#include "gl_test_support.hpp"
#include "scenes.hpp"
#include "window.hpp"

namespace {

// A frame, averaged down to a size where llvmpipe's rounding noise averages away.
struct Sample {
    std::vector<std::uint8_t> rgba;
    double meanLuma = 0.0;
    std::set<int> palette;  // distinct colours after quantising each channel to 8 levels
    int brightest = 0;

    explicit Sample(std::vector<std::uint8_t> pixels) : rgba(std::move(pixels))
    {
        for (std::size_t i = 0; i < rgba.size(); i += 4) {
            meanLuma += (0.2126 * rgba[i] + 0.7152 * rgba[i + 1] + 0.0722 * rgba[i + 2]) / double(rgba.size() / 4);
            palette.insert((rgba[i] >> 5) << 6 | (rgba[i + 1] >> 5) << 3 | rgba[i + 2] >> 5);
            brightest = std::max({brightest, int{rgba[i]}, int{rgba[i + 1]}, int{rgba[i + 2]}});
        }
    }
    double meanDifference(const Sample& other) const
    {
        double sum = 0.0;
        for (std::size_t i = 0; i < rgba.size(); ++i)
            sum += std::abs(int{rgba[i]} - int{other.rgba[i]});
        return sum / double(rgba.size());
    }
};

class Show : public testing::Test {
protected:
    void SetUp() override
    {
        const CoutCapture quiet;
        scenes_.emplace(loadScenes());
        ASSERT_EQ(quiet.text(), "") << "the shipped data must build without a report";
    }

    Sample frameAt(float t) const
    {
        renderFrame(*scenes_, t);
        return Sample(downscaleRgba(target_.readRgba(), target_.width(), target_.height(), 96, 54));
    }

    OffscreenTarget target_{kWindowWidth, kWindowHeight};
    std::optional<Scenes> scenes_;  // made once the context exists
};

TEST_F(Show, EachSceneIsLitVariedAndMovingThroughItsSpan)
{
    constexpr float kStep = 0.25f;  // half a beat apart
    for (float t : {1.5f, 4.5f, 7.0f, 12.0f, 25.0f, 40.0f, 50.0f, 65.0f, 80.0f, 95.0f, 103.0f}) {
        const Sample frame = frameAt(t);
        EXPECT_GT(frame.meanLuma, 8.0) << "black at " << t;
        EXPECT_GE(frame.palette.size(), 12u) << "flat at " << t;
        EXPECT_GT(frame.meanDifference(frameAt(t + kStep)), 0.5) << "still between " << t << " and " << t + kStep;
    }
}

TEST_F(Show, TheShowFadesToBlackBeforeItEnds)
{
    EXPECT_LE(frameAt(108.9f).brightest, 2);
    EXPECT_LE(frameAt(109.0f).brightest, 0);
    EXPECT_LT(frameAt(8.9f).brightest, 8) << "the picture fades out before the first gap";
}

}  // namespace
