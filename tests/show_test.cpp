// The show's own data, drawn by the real scene code at the show's 1920x1080 and read back:
// every program builds without a word from the driver, and each scene is lit, varied and
// moving through its span, with the last scene gone to black by the end. Runs in build/,
// where the shipped shaders and picture sit.
#include <glad/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "gl_test_support.hpp"
#include "offscreen.hpp"
#include "scenes.hpp"
#include "window.hpp"

namespace {

// Frames are compared at a size where llvmpipe's rounding noise averages away.
constexpr int kSampleWidth = 96;
constexpr int kSampleHeight = 54;

struct Sample {
    std::vector<std::uint8_t> rgba;

    double meanLuma() const
    {
        double sum = 0.0;
        for (std::size_t i = 0; i < rgba.size(); i += 4)
            sum += 0.2126 * rgba[i] + 0.7152 * rgba[i + 1] + 0.0722 * rgba[i + 2];
        return sum / static_cast<double>(rgba.size() / 4);
    }
    // Distinct colours after quantising each channel to 8 levels.
    std::size_t palette() const
    {
        std::set<int> colours;
        for (std::size_t i = 0; i < rgba.size(); i += 4)
            colours.insert((rgba[i] >> 5) << 6 | (rgba[i + 1] >> 5) << 3 | rgba[i + 2] >> 5);
        return colours.size();
    }
    int brightest() const
    {
        int most = 0;
        for (std::size_t i = 0; i < rgba.size(); i += 4)
            most = std::max({most, int{rgba[i]}, int{rgba[i + 1]}, int{rgba[i + 2]}});
        return most;
    }
    double meanDifference(const Sample& other) const
    {
        double sum = 0.0;
        for (std::size_t i = 0; i < rgba.size(); ++i)
            sum += std::abs(int{rgba[i]} - int{other.rgba[i]});
        return sum / static_cast<double>(rgba.size());
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
        return {downscaleRgba(target_.readRgba(), target_.width(), target_.height(), kSampleWidth,
                              kSampleHeight)};
    }

    OffscreenTarget target_{kWindowWidth, kWindowHeight};
    std::optional<Scenes> scenes_;  // made once the context exists
};

std::string fileText(const char* path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The driver's log for a shader or program: empty means not even a warning.
std::string compileLog(GLenum stage, const char* path)
{
    const std::string source = fileText(path);
    const char* text = source.c_str();
    const GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(std::max(length, 1)), '\0');
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    glDeleteShader(shader);
    return log.c_str();
}

TEST_F(Show, EveryShaderAndProgramBuildsWithAnEmptyLog)
{
    for (const char* vertex : {kImageVertexShader, kScreenVertexShader})
        EXPECT_EQ(compileLog(GL_VERTEX_SHADER, vertex), "") << vertex;
    for (const char* fragment : {kImageFragmentShader, kFirstFragmentShader, kSecondFragmentShader})
        EXPECT_EQ(compileLog(GL_FRAGMENT_SHADER, fragment), "") << fragment;
    for (const Shader* shader : {&scenes_->imageShader, &scenes_->firstShader, &scenes_->secondShader}) {
        GLint linked = 0;
        GLint logLength = 0;
        glGetProgramiv(shader->programId, GL_LINK_STATUS, &linked);
        glGetProgramiv(shader->programId, GL_INFO_LOG_LENGTH, &logLength);
        EXPECT_TRUE(linked);
        EXPECT_LE(logLength, 1);
    }
}

TEST_F(Show, EachSceneIsLitVariedAndMovingThroughItsSpan)
{
    constexpr float kStep = 0.25f;  // half a beat apart
    for (float t : {1.5f, 4.5f, 7.0f, 12.0f, 25.0f, 40.0f, 50.0f, 65.0f, 80.0f, 95.0f, 103.0f}) {
        const Sample frame = frameAt(t);
        const Sample next = frameAt(t + kStep);
        EXPECT_GT(frame.meanLuma(), 8.0) << "black at " << t;
        EXPECT_GE(frame.palette(), 12u) << "flat at " << t;
        EXPECT_GT(frame.meanDifference(next), 0.5) << "still between " << t << " and " << t + kStep;
    }
}

TEST_F(Show, TheShowFadesToBlackBeforeItEnds)
{
    EXPECT_LE(frameAt(108.9f).brightest(), 2);
    EXPECT_LE(frameAt(109.0f).brightest(), 0);
    EXPECT_LT(frameAt(8.9f).brightest(), 8) << "the picture fades out before the first gap";
}

}  // namespace
