// What fuzzing the picture path found, kept found: a valid PNG whose first data chunk is empty
// (the decoder copied zero bytes to a null pointer), and a chunk that claims more bytes than
// the file holds (the decoder asked for that much memory before reading any of it).
#include <glad/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "allocation_probe.hpp"
#include "gl_test_support.hpp"
#include "texture.hpp"

namespace {

constexpr std::size_t kSmallAllocation = 1u << 20;
constexpr std::size_t kLengthBytes = 4;
constexpr char kClaimedLength[] = "\x7f\xff\xff\xf0";  // almost 2 GiB
constexpr const char* kFailureLine = "Texture failed to load at path: imgs/officialmolvanian2.png\n";

constexpr int kWidth = 3;
constexpr int kHeight = 2;
constexpr int kChannels = 2;
constexpr std::size_t kRowBytes = kWidth * kChannels;
const unsigned char kGreyAlpha[kRowBytes * kHeight] = {0, 255, 40, 200, 80, 150, 120, 100, 160, 50, 200, 25};

// A 3 by 2 grey-and-alpha picture with its first data chunk's length at the returned offset.
std::string picture(std::size_t& dataChunk)
{
    std::string png = pngFile(kWidth, kHeight, kChannels, kGreyAlpha);
    dataChunk = png.find("IDAT") - kLengthBytes;
    return png;
}

Picture decode(const std::string& png)
{
    return decodePicture(reinterpret_cast<const unsigned char*>(png.data()), png.size());
}

TEST(PictureFuzzFindings, AnEmptyFirstDataChunkDecodesLikeNone)
{
    std::size_t dataChunk = 0;
    std::string png = picture(dataChunk);
    // Length 0, the type, and the CRC of the type alone.
    png.insert(dataChunk, std::string("\0\0\0\0IDAT\x35\xaf\x06\x1e", 12));
    const Picture decoded = decode(png);
    ASSERT_TRUE(decoded.pixels);
    EXPECT_EQ(decoded.format, static_cast<GLenum>(GL_RG));
    const unsigned char* pixels = decoded.pixels.get();
    // Bottom row first.
    EXPECT_EQ(std::vector<unsigned char>(pixels, pixels + kRowBytes),
              std::vector<unsigned char>(kGreyAlpha + kRowBytes, kGreyAlpha + 2 * kRowBytes));
    EXPECT_EQ(std::vector<unsigned char>(pixels + kRowBytes, pixels + 2 * kRowBytes),
              std::vector<unsigned char>(kGreyAlpha, kGreyAlpha + kRowBytes));
}

using PictureFuzzFindingsGl = GlTest;

// From memory and from the file loadTexture reads, in that order.
TEST_F(PictureFuzzFindingsGl, AChunkClaimingMoreThanTheFileIsRefusedWithoutALargeRequest)
{
    std::size_t dataChunk = 0;
    std::string png = picture(dataChunk);
    png.replace(dataChunk, kLengthBytes, kClaimedLength, kLengthBytes);

    resetLargestAllocation();
    EXPECT_FALSE(decode(png).pixels);
    EXPECT_LT(largestAllocation(), kSmallAllocation);

    // Whatever trails the end chunk is not the picture's: a claim there changes nothing.
    std::string trailed = pngFile(kWidth, kHeight, kChannels, kGreyAlpha);
    trailed += std::string(kClaimedLength, kLengthBytes) + "junk";
    EXPECT_TRUE(decode(trailed).pixels);

    const WorkDir dir;
    dir.write(kImagePath, png);
    const CoutCapture capture;
    resetLargestAllocation();
    loadTexture();
    EXPECT_LT(largestAllocation(), kSmallAllocation);
    EXPECT_EQ(capture.text(), kFailureLine);
}

}  // namespace
