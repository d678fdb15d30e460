// The scenes drawn on a real driver and read back, with shader files written by the test so
// that what is seen depends only on what the scenes set: the picture upright in the middle
// half, the full-screen scenes, and where and when each uniform lands.
#include <glad/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "gl_test_support.hpp"
#include "scenes.hpp"
#include "texture.hpp"
#include "window.hpp"

namespace {

const Rgba kBlack{0, 0, 0, 255};
const Rgba kRed{255, 0, 0, 255};
const Rgba kGreen{0, 255, 0, 255};
const Rgba kBlue{0, 0, 255, 255};
const Rgba kWhite{255, 255, 255, 255};

// Each program draws only while it has "u_resolution" and "u_time" set, so every uniform
// is in use and a missing set shows as black.
constexpr const char* kUniformGate =
    "uniform vec2 u_resolution; uniform float u_time;\n"
    "float gate() { return float(u_resolution == vec2(1920.0, 1080.0) && u_time > 0.0); }\n";

const std::string kImageVertex = R"(#version 330 core
layout (location = 0) in vec3 aPos;
layout (location = 2) in vec2 aTexCoord;
uniform mat4 view; uniform mat4 projection; uniform mat4 model;
out vec2 st;
void main() { gl_Position = projection * view * model * vec4(aPos, 1.0); st = aTexCoord; }
)";
const std::string kImageFragment = std::string("#version 330 core\n") + kUniformGate +
    "uniform sampler2D texture15; in vec2 st; out vec4 result;\n"
    "void main() { result = texture(texture15, st) * gate(); }\n";
const std::string kScreenVertex =
    "#version 330 core\nlayout (location = 0) in vec3 aPos;\nvoid main() { gl_Position = vec4(aPos, 1.0); }\n";
std::string screenFragment(const char* colour)
{
    return std::string("#version 330 core\n") + kUniformGate + "out vec4 result;\nvoid main() { result = vec4(" +
           colour + ") * gate(); }\n";
}

// The picture, 32 by 32 in four quadrants: red top left, green top right, blue bottom
// left, white bottom right. At 64 by 64 the middle half maps one pixel to one texel.
constexpr int kPictureSide = 32;
Rgba pictureQuadrant(bool top, bool left)
{
    return top ? (left ? kRed : kGreen) : (left ? kBlue : kWhite);
}

std::string picturePng()
{
    std::array<Rgba, kPictureSide * kPictureSide> pixels{};
    for (int row = 0; row < kPictureSide; ++row)  // row 0 is the top
        for (int column = 0; column < kPictureSide; ++column)
            pixels[static_cast<std::size_t>(row * kPictureSide + column)] =
                pictureQuadrant(row < kPictureSide / 2, column < kPictureSide / 2);
    return pngFile(kPictureSide, kPictureSide, 4, pixels.data());
}

// Builds the scenes as the demo's start-up does, from the test's files.
class ScenesGl : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        dir_.write(kImageVertexShader, kImageVertex);
        dir_.write(kImageFragmentShader, kImageFragment);
        dir_.write(kScreenVertexShader, kScreenVertex);
        dir_.write(kFirstFragmentShader, screenFragment("0.0, 1.0, 0.0, 1.0"));
        dir_.write(kSecondFragmentShader, screenFragment("0.0, 0.0, 1.0, 1.0"));
        dir_.write(kImagePath, picturePng());
        glEnable(GL_DEPTH_TEST);
        const CoutCapture quiet;
        const Shader imageShader(kImageVertexShader, kImageFragmentShader);
        const Shader firstShader(kScreenVertexShader, kFirstFragmentShader);
        const Shader secondShader(kScreenVertexShader, kSecondFragmentShader);
        const Mesh screenQuad = buildScreenQuad();
        const Mesh texturedQuad = buildTexturedQuad();
        const GLuint imageTexture = loadTexture();
        scenes_ = Scenes{imageShader, firstShader, secondShader, screenQuad, texturedQuad, imageTexture};
        setImageSampler(*scenes_);
        ASSERT_EQ(quiet.text(), "");
    }

    // One frame's picture at t, which must fall in the given cue's span.
    void pass(Cue cue, float t) const
    {
        EXPECT_EQ(renderFrame(*scenes_, t), cue) << "at " << t;
    }

    void expectFrame(Rgba (*expected)(int x, int y, int width, int height)) const
    {
        const std::vector<Rgba> frame = readFrame();
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                ASSERT_TRUE(near(frame[static_cast<std::size_t>(y * width_ + x)], expected(x, y, width_, height_)))
                    << "pixel " << x << ", " << y;
    }

    WorkDir dir_;
    std::optional<Scenes> scenes_;  // made once the context exists
};

std::array<float, 16> uniformMatrix(GLuint program, const char* name)
{
    std::array<float, 16> m{};
    glGetUniformfv(program, glGetUniformLocation(program, name), m.data());
    return m;
}

TEST_F(ScenesGl, SceneOneShowsThePictureUprightInTheMiddleHalfOnBlack)
{
    // Nothing on unit 0, so the picture can only come through unit 2.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    pass(Cue::Scene1, 1.0f);
    expectFrame([](int x, int y, int width, int height) {
        const bool inside = x >= width / 4 && x < width * 3 / 4 && y >= height / 4 && y < height * 3 / 4;
        return inside ? pictureQuadrant(y >= height / 2, x < width / 2) : kBlack;
    });

    const GLuint program = scenes_->imageShader.programId;
    GLint sampler = -1;
    glGetUniformiv(program, glGetUniformLocation(program, "texture15"), &sampler);
    EXPECT_EQ(sampler, 2);
    EXPECT_EQ(uniformMatrix(program, "view"),
              (std::array<float, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -1, 1}));
    EXPECT_EQ(uniformMatrix(program, "projection"),
              (std::array<float, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(uniformMatrix(program, "model"),
              (std::array<float, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 1.9f, 1}));
}

TEST_F(ScenesGl, ScenesTwoAndThreeFillTheScreenAndABlackCueDrawsNothing)
{
    pass(Cue::Scene2, 20.0f);
    expectFrame([](int, int, int, int) { return kGreen; });
    pass(Cue::Scene3, 50.0f);
    expectFrame([](int, int, int, int) { return kBlue; });
    pass(Cue::Black, 9.5f);
    expectFrame([](int, int, int, int) { return kBlack; });
}

TEST_F(ScenesGl, EachPassSetsResolutionAndTimeInItsOwnSceneProgram)
{
    const std::array<const Shader*, 3> programs{&scenes_->imageShader, &scenes_->firstShader, &scenes_->secondShader};
    const std::array<Cue, 3> cues{Cue::Scene1, Cue::Scene2, Cue::Scene3};
    const std::array<float, 3> times{1.5f, 12.25f, 50.5f};
    const auto uniforms = [](const Shader& shader) {
        std::array<float, 3> values{};
        glGetUniformfv(shader.programId, glGetUniformLocation(shader.programId, "u_resolution"), values.data());
        glGetUniformfv(shader.programId, glGetUniformLocation(shader.programId, "u_time"), &values[2]);
        return values;
    };

    // The first pass of each scene, in the show's order: only that scene's program changes.
    for (std::size_t drawn = 0; drawn < cues.size(); ++drawn) {
        pass(cues[drawn], times[drawn]);
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const std::array<float, 3> expected =
                i <= drawn ? std::array<float, 3>{1920.0f, 1080.0f, times[i]} : std::array<float, 3>{};
            EXPECT_EQ(uniforms(*programs[i]), expected) << "after scene " << drawn + 1 << ", program " << i + 1;
        }
    }

    // A new framebuffer size changes the viewport, never the resolution the scenes receive.
    onFramebufferResize(window_, width_ / 2, height_ / 4);
    pass(Cue::Scene2, 13.0f);
    EXPECT_EQ(uniforms(scenes_->firstShader), (std::array<float, 3>{1920.0f, 1080.0f, 13.0f}));
}

}  // namespace
