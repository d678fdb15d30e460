// The texture loader on a real driver, fed PNGs that the test writes into a fresh working
// directory: formats, mipmaps and parameters, orientation, tightly packed rows, and files
// that must fail fast, with one line and no large allocation.
#include <glad/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "allocation_probe.hpp"
#include "gl_test_support.hpp"
#include "texture.hpp"

namespace {

using TextureGl = GlTest;
using Bytes = std::vector<std::uint8_t>;

const std::string kFailureLine = "Texture failed to load at path: imgs/officialmolvanian2.png\n";

std::string png(int width, int height, int channels, const Bytes& pixels)
{
    return pngFile(width, height, channels, pixels.data());
}

Bytes pattern(int width, int height, int channels)
{
    Bytes pixels(static_cast<std::size_t>(width * height * channels));
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return pixels;
}

GLint level(int mip, GLenum what)
{
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, mip, what, &value);
    return value;
}

GLint parameter(GLenum what)
{
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, what, &value);
    return value;
}

GLint integer(GLenum what)
{
    GLint value = 0;
    glGetIntegerv(what, &value);
    return value;
}

TEST_F(TextureGl, ChannelCountPicksTheFormatOfACompleteMipmappedTextureLeftBoundOnUnitZero)
{
    constexpr int kWidth = 8;
    constexpr int kHeight = 4;
    constexpr int kLastLevel = 3;  // 8x4, 4x2, 2x1, 1x1
    const std::array<GLint, 5> formats{0, GL_RED, GL_RG, GL_RGB, GL_RGBA};
    for (int channels = 1; channels <= 4; ++channels) {
        SCOPED_TRACE(std::to_string(channels) + " channels");
        const WorkDir dir;
        dir.write(kImagePath, png(kWidth, kHeight, channels, pattern(kWidth, kHeight, channels)));
        const CoutCapture capture;
        const GLuint texture = loadTexture();
        EXPECT_EQ(capture.text(), "");

        EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
        ASSERT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture));
        EXPECT_EQ(level(0, GL_TEXTURE_INTERNAL_FORMAT), formats[static_cast<std::size_t>(channels)]);
        EXPECT_EQ(level(0, GL_TEXTURE_WIDTH), kWidth);
        EXPECT_EQ(level(kLastLevel, GL_TEXTURE_WIDTH), 1);
        EXPECT_EQ(level(kLastLevel, GL_TEXTURE_HEIGHT), 1);
        EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(parameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
        EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        // Grey and alpha sample as grey in red, green and blue, alpha in alpha.
        const bool greyAlpha = channels == 2;
        EXPECT_EQ(parameter(GL_TEXTURE_SWIZZLE_G), greyAlpha ? GL_RED : GL_GREEN);
        EXPECT_EQ(parameter(GL_TEXTURE_SWIZZLE_A), greyAlpha ? GL_GREEN : GL_ALPHA);
    }
}

TEST_F(TextureGl, TopRowLandsAtTheTopAndOddWidthRowsArriveIntact)
{
    // 3 RGB pixels make 9-byte rows, off the default 4-byte row alignment.
    const Bytes top{255, 0, 0, 0, 255, 0, 0, 0, 255};
    const Bytes bottom{10, 20, 30, 40, 50, 60, 70, 80, 90};
    Bytes picture = top;
    picture.insert(picture.end(), bottom.begin(), bottom.end());
    const WorkDir dir;
    dir.write(kImagePath, png(3, 2, 3, picture));
    loadTexture();
    EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), 4) << "the default is left for other uploads";

    Bytes texels(picture.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    // Texture row 0 is t = 0, the bottom.
    EXPECT_EQ(Bytes(texels.begin(), texels.begin() + 9), bottom);
    EXPECT_EQ(Bytes(texels.begin() + 9, texels.end()), top);
}

TEST_F(TextureGl, BadFilesPrintOneLineAndReturnAFreshEmptyNameFastWithoutALargeAllocation)
{
    std::string truncated = png(64, 64, 4, pattern(64, 64, 4));
    truncated.resize(truncated.size() / 2);
    // A 69-byte portable pixmap claiming 8000 by 8000, within the size cap: not a PNG, so
    // it must not reach a decoder that would allocate for it.
    std::string pixmap = "P6\n8000 8000\n255\n";
    pixmap.resize(69, '\x7f');
    // Sound PNGs whose headers claim more: one just past the size cap, one absurdly so.
    const auto claiming = [](std::uint32_t side) {
        std::string file = png(1, 1, 4, Bytes{1, 2, 3, 4});
        constexpr std::size_t kWidthOffset = 16;  // signature, chunk length and type, then width
        for (std::size_t field = 0; field < 2; ++field)
            for (std::size_t byte = 0; byte < 4; ++byte)  // big-endian width, then height
                file[kWidthOffset + 4 * field + byte] = static_cast<char>(side >> (24 - 8 * byte));
        return file;
    };

    constexpr std::size_t kLargeAllocation = 16u << 20;
    constexpr auto kQuickly = std::chrono::seconds(2);  // a guard against a runaway decode
    struct Case {
        const char* what;
        bool present;
        std::string contents;
    };
    GLuint previous = 0;
    for (const Case& bad : {Case{"missing", false, ""}, Case{"empty", true, ""}, Case{"truncated", true, truncated},
                            Case{"not a PNG", true, pixmap}, Case{"just over the cap", true, claiming(8193)},
                            Case{"far over the cap", true, claiming(100000)}}) {
        SCOPED_TRACE(bad.what);
        const WorkDir dir;
        if (bad.present)
            dir.write(kImagePath, bad.contents);
        const CoutCapture capture;
        resetLargestAllocation();
        const auto start = std::chrono::steady_clock::now();
        const GLuint texture = loadTexture();
        const auto took = std::chrono::steady_clock::now() - start;
        const std::size_t largest = largestAllocation();

        EXPECT_EQ(capture.text(), kFailureLine);
        EXPECT_NE(texture, 0u);
        EXPECT_NE(texture, previous);
        EXPECT_FALSE(glIsTexture(texture)) << "no texture object stands behind the name";
        EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), 0);
        EXPECT_LT(largest, kLargeAllocation);
        EXPECT_LT(took, kQuickly);
        previous = texture;
    }
}

}  // namespace
