// The texture loader on a real driver, fed PNGs that the test writes into a fresh working
// directory: formats, mipmaps and parameters, orientation, tightly packed rows, files that
// must fail fast, with one line and no large allocation, and the picture decoded ahead.
#include <chrono>
#include <cstdint>
#include <iterator>
#include <thread>

#include "allocation_probe.hpp"
#include "gl_test_support.hpp"
#include "show/show_data.hpp"
#include "show/texture.hpp"

namespace {

using TextureGl = GlTest;
using Bytes = std::vector<std::uint8_t>;

std::string png(int width, int height, int channels)
{
    Bytes pixels(static_cast<std::size_t>(width * height * channels));
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return pngFile(width, height, channels, pixels.data());
}

// The GL state queries, on the texture bound to GL_TEXTURE_2D where they need one.
GLint level(int mip, GLenum what) { GLint v = 0; return glGetTexLevelParameteriv(GL_TEXTURE_2D, mip, what, &v), v; }
GLint parameter(GLenum what) { GLint v = 0; return glGetTexParameteriv(GL_TEXTURE_2D, what, &v), v; }
GLint integer(GLenum what) { GLint v = 0; return glGetIntegerv(what, &v), v; }

TEST_F(TextureGl, ChannelCountPicksTheFormatOfACompleteMipmappedTextureLeftBoundOnUnitZero)
{
    const GLint formats[] = {0, GL_RED, GL_RG, GL_RGB, GL_RGBA};
    for (int channels = 1; channels <= 4; ++channels) {
        SCOPED_TRACE(std::to_string(channels) + " channels");
        const WorkDir dir;
        dir.write(kImagePath, png(8, 4, channels));
        const CoutCapture capture;
        const GLuint texture = loadTexture();
        EXPECT_EQ(capture.text(), "");

        EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
        ASSERT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture));
        EXPECT_EQ(level(0, GL_TEXTURE_INTERNAL_FORMAT), formats[channels]);
        EXPECT_EQ(level(0, GL_TEXTURE_WIDTH), 8);
        EXPECT_EQ(level(3, GL_TEXTURE_WIDTH), 1);  // 8x4, 4x2, 2x1, 1x1
        EXPECT_EQ(level(3, GL_TEXTURE_HEIGHT), 1);
        EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(parameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
        EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        // Grey and alpha sample as grey in red, green and blue, alpha in alpha.
        EXPECT_EQ(parameter(GL_TEXTURE_SWIZZLE_G), channels == 2 ? GL_RED : GL_GREEN);
        EXPECT_EQ(parameter(GL_TEXTURE_SWIZZLE_A), channels == 2 ? GL_GREEN : GL_ALPHA);
    }
}

TEST_F(TextureGl, TopRowLandsAtTheTopAndOddWidthRowsArriveIntact)
{
    // 3 RGB pixels make 9-byte rows, off the default 4-byte row alignment.
    const Bytes picture{255, 0, 0, 0, 255, 0, 0, 0, 255, /* bottom row */ 10, 20, 30, 40, 50, 60, 70, 80, 90};
    const WorkDir dir;
    dir.write(kImagePath, pngFile(3, 2, 3, picture.data()));
    loadTexture();
    EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), 4) << "the default is left for other uploads";

    Bytes texels(picture.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    // Texture row 0 is t = 0, the bottom.
    EXPECT_EQ(Bytes(texels.begin(), texels.begin() + 9), Bytes(picture.begin() + 9, picture.end()));
    EXPECT_EQ(Bytes(texels.begin() + 9, texels.end()), Bytes(picture.begin(), picture.begin() + 9));
}

TEST_F(TextureGl, BadFilesPrintOneLineAndReturnAFreshEmptyNameFastWithoutALargeAllocation)
{
    std::string truncated = png(64, 64, 4);
    truncated.resize(truncated.size() / 2);
    // A 69-byte portable pixmap claiming 8000 by 8000, within the size cap: not a PNG, so
    // it must not reach a decoder that would allocate for it.
    std::string pixmap = "P6\n8000 8000\n255\n";
    pixmap.resize(69, '\x7f');
    // Sound PNGs whose headers claim more: one just past the size cap, one absurdly so.
    const auto sized = [](std::uint32_t side) {
        std::string file = png(1, 1, 4);
        for (std::size_t byte = 0; byte < 8; ++byte)  // big-endian width, then height, at 16
            file[16 + byte] = static_cast<char>(side >> (24 - 8 * (byte % 4)));
        return file;
    };
    // A data chunk whose length field claims almost 2 GiB, more than the file holds.
    std::string claiming = png(4, 4, 4);
    claiming.replace(claiming.find("IDAT") - 4, 4, "\x7f\xff\xff\xf0", 4);

    GLuint previous = 0;
    for (const auto& [what, contents] : {std::pair<const char*, std::string>{"missing", ""}, {"empty", ""},
                                         {"truncated", truncated}, {"not a PNG", pixmap},
                                         {"just over the cap", sized(8193)}, {"far over the cap", sized(100000)},
                                         {"a chunk claiming more than the file", claiming}}) {
        SCOPED_TRACE(what);
        const WorkDir dir;
        if (std::string(what) != "missing")
            dir.write(kImagePath, contents);
        const CoutCapture capture;
        resetLargestAllocation();
        const auto start = std::chrono::steady_clock::now();
        const GLuint texture = loadTexture();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));  // no runaway decode
        EXPECT_LT(largestAllocation(), 16u << 20);

        EXPECT_EQ(capture.text(), "Texture failed to load at path: imgs/officialmolvanian2.png\n");
        EXPECT_NE(texture, 0u);
        EXPECT_NE(texture, previous);
        EXPECT_FALSE(glIsTexture(texture)) << "no texture object stands behind the name";
        EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), 0);
        previous = texture;
    }
}

// The threads of this process, as /proc lists them.
std::size_t threadCount()
{
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return static_cast<std::size_t>(std::distance(begin(tasks), end(tasks)));
}

// Many start-ups' worth of pictures decoded ahead, loadTexture arriving before the decoding is
// done and after it: the picture decoded ahead is the one uploaded, whole (a file changed after
// it was decoded is not read again), one that can't be loaded is reported by loadTexture and
// never by the decoding thread, and that thread is gone once loadTexture returns. The
// sanitized suite runs it too, where a hand-over that races shows.
TEST_F(TextureGl, PictureDecodedAheadIsTakenAtItsStepWhicheverArrivesFirst)
{
    constexpr int kRounds = 16;
    constexpr auto kDecodeLimit = std::chrono::seconds(10);
    // Big enough that decoding it outlasts loadTexture's way to it.
    const std::string whole = png(1024, 512, 4);
    const std::string broken = whole.substr(0, whole.size() / 2);
    const WorkDir dir;
    dir.write(kImagePath, whole);
    const Picture expected = readPicture(kImagePath);
    ASSERT_TRUE(expected.pixels);
    const std::size_t bytes = std::size_t(expected.width) * std::size_t(expected.height) * 4;
    const std::size_t threads = threadCount();

    for (int round = 0; round < kRounds; ++round) {
        const bool decodedFirst = round % 2 == 1;
        const bool loads = round % 4 < 2;
        SCOPED_TRACE(std::string(loads ? "whole" : "broken") + " picture, "
                     + (decodedFirst ? "decoded before" : "still decoding when") + " loadTexture asks");
        dir.write(kImagePath, loads ? whole : broken);
        const CoutCapture capture;
        ASSERT_TRUE(decodePictureAhead());
        if (decodedFirst) {
            const auto limit = std::chrono::steady_clock::now() + kDecodeLimit;
            while (threadCount() > threads && std::chrono::steady_clock::now() < limit)
                std::this_thread::yield();
            dir.write(kImagePath, loads ? broken : whole);
        }
        EXPECT_EQ(capture.text(), "") << "nothing is reported before the picture's step";

        const GLuint texture = loadTexture();
        EXPECT_EQ(threadCount(), threads) << "the decoding thread is gone";
        if (!loads) {
            EXPECT_EQ(capture.text(), "Texture failed to load at path: imgs/officialmolvanian2.png\n");
            continue;
        }
        EXPECT_EQ(capture.text(), "");
        Bytes texels(bytes);
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        EXPECT_EQ(texels, Bytes(expected.pixels.get(), expected.pixels.get() + bytes));
        glDeleteTextures(1, &texture);
    }
}

}  // namespace
