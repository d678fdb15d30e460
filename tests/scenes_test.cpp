// The scenes drawn on a real driver and read back, with shader files written by the test so
// that what is seen depends only on what the scenes set (every uniform, each program's own)
// and each quad's vertex array: the picture upright in exactly the middle half, the full-screen
// scenes over every pixel; the close path's deletion of the screen quad; and the viewport kept
// on the whole framebuffer when its size changes.
#include <optional>

#include "gl_test_support.hpp"
#include "scenes.hpp"
#include "texture.hpp"
#include "window.hpp"

namespace {

const Rgba kBlack{0, 0, 0, 255}, kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255},
    kWhite{255, 255, 255, 255};

// Each program draws only while it has "u_resolution" and "u_time" set, so every uniform
// is in use and a missing set shows as black.
const std::string kHead = "#version 330 core\nuniform vec2 u_resolution; uniform float u_time; out vec4 result;\n"
                          "float gate() { return float(u_resolution == vec2(1920.0, 1080.0) && u_time > 0.0); }\n";
const std::string kImageVertex = R"(#version 330 core
layout (location = 0) in vec3 aPos;
layout (location = 2) in vec2 aTexCoord;
uniform mat4 view; uniform mat4 projection; uniform mat4 model;
out vec2 st;
void main() { gl_Position = projection * view * model * vec4(aPos, 1.0); st = aTexCoord; }
)";
const std::string kScreenVertex =
    "#version 330 core\nlayout (location = 0) in vec3 aPos;\nvoid main() { gl_Position = vec4(aPos, 1.0); }\n";

// The picture, 32 by 32 in four quadrants: red top left, green top right, blue bottom left,
// white bottom right. At 64 by 64 the middle half maps one pixel to one texel.
Rgba pictureQuadrant(bool top, bool left) { return top ? (left ? kRed : kGreen) : (left ? kBlue : kWhite); }

// Builds the scenes as the demo's start-up does, from the test's files.
class ScenesGl : public GlTest {
protected:
    void SetUp() override
    {
        dir_.write(kImageVertexShader, kImageVertex);
        dir_.write(kImageFragmentShader, kHead + "uniform sampler2D texture15; in vec2 st;\n"
                                                 "void main() { result = texture(texture15, st) * gate(); }\n");
        dir_.write(kScreenVertexShader, kScreenVertex);
        dir_.write(kFirstFragmentShader, kHead + "void main() { result = vec4(0.0, 1.0, 0.0, 1.0) * gate(); }\n");
        dir_.write(kSecondFragmentShader, kHead + "void main() { result = vec4(0.0, 0.0, 1.0, 1.0) * gate(); }\n");
        std::vector<Rgba> picture(32 * 32);
        for (std::size_t i = 0; i < picture.size(); ++i)  // row 0 is the top
            picture[i] = pictureQuadrant(i / 32 < 16, i % 32 < 16);
        dir_.write(kImagePath, pngFile(32, 32, 4, picture.data()));
        const CoutCapture quiet;
        scenes_.emplace(loadScenes());
        ASSERT_EQ(quiet.text(), "");
    }

    // One pass at t, which must fall in the given cue's span, compared with the expected frame.
    template <typename Expected>
    void pass(Cue cue, float t, Expected expected) const
    {
        EXPECT_EQ(renderFrame(*scenes_, t), cue) << "at " << t;
        const std::vector<Rgba> frame = readFrame();
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                ASSERT_TRUE(near(at(frame, x, y), expected(x, y))) << "pixel " << x << ", " << y << " at " << t;
    }

    WorkDir dir_;
    std::optional<Scenes> scenes_;  // made once the context exists
};

TEST_F(ScenesGl, SceneOneShowsThePictureUprightInTheMiddleHalfOnBlack)
{
    // Nothing on unit 0, so the picture can only come through unit 2.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    pass(Cue::Scene1, 1.0f, [](int x, int y) {
        const bool inside = std::min({x, y, kSize - 1 - x, kSize - 1 - y}) >= kSize / 4;
        return inside ? pictureQuadrant(y < kSize / 2, x < kSize / 2) : kBlack;
    });
}

TEST_F(ScenesGl, ScenesTwoAndThreeFillTheScreenAndABlackCueDrawsNothing)
{
    pass(Cue::Scene2, 20.0f, [](int, int) { return kGreen; });
    pass(Cue::Scene3, 50.0f, [](int, int) { return kBlue; });
    pass(Cue::Black, 9.5f, [](int, int) { return kBlack; });
}

TEST_F(ScenesGl, ClosingDeletesAllThreeObjectsOfTheScreenQuad)
{
    deleteMesh(scenes_->screenQuad);
    EXPECT_FALSE(glIsVertexArray(scenes_->screenQuad.vertexArray));
    EXPECT_FALSE(glIsBuffer(scenes_->screenQuad.vertexBuffer));
    EXPECT_FALSE(glIsBuffer(scenes_->screenQuad.elementBuffer));
}

TEST_F(ScenesGl, AFramebufferResizeSetsTheViewportToTheNewSizeAtTheOrigin)
{
    glViewport(5, 7, 11, 13);
    onFramebufferResize(window_, 1280, 720);
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 1280, 720}));
}

}  // namespace
