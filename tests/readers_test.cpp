// The pure readers under the show and its tools, without GL: the picture's decoder on a PNG that
// fuzzing found, and the info-log reader on the forms of drivers other than Mesa, which the
// suite's own driver never writes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "png_file.hpp"
#include "show/picture.hpp"
#include "tooling/shader_log.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Found by fuzzing: a valid PNG whose first data chunk is empty (the decoder copied zero bytes
// to a null pointer) decodes like one without it.
TEST(PictureDecoder, AnEmptyFirstDataChunkDecodesLikeNone)
{
    const Bytes pixels{0, 255, 40, 200, 80, 150, 120, 100, 160, 50, 200, 25};  // 3x2 grey and alpha
    std::string file = pngFile(3, 2, 2, pixels.data());
    // Length 0, the type, and the CRC of the type alone.
    file.insert(file.find("IDAT") - 4, std::string("\0\0\0\0IDAT\x35\xaf\x06\x1e", 12));
    const Picture decoded = decodePicture(reinterpret_cast<const unsigned char*>(file.data()), file.size());
    ASSERT_TRUE(decoded.pixels);
    Bytes flipped(pixels.begin() + 6, pixels.end());  // bottom row first
    flipped.insert(flipped.end(), pixels.begin(), pixels.begin() + 6);
    EXPECT_EQ(Bytes(decoded.pixels.get(), decoded.pixels.get() + pixels.size()), flipped);
}

TEST(ShaderLog, ReadsTheLineOfEachDriverFamilysForm)
{
    const std::vector<LogEntry> entries = parseInfoLog(
        "0:12(3): error: syntax error, unexpected '}'\n"
        "ERROR: 0:7: 'u_tme' : undeclared identifier\r\n"
        "WARNING: 0:9: extension not supported\n"
        "0(31) : error C1008: undefined variable \"x\"\n"
        "\n"
        "error: fragment shader lacks `main'\n"
        ".\n");
    const LogEntry expected[] = {{12, "error: syntax error, unexpected '}'", false},
                                 {7, "error: 'u_tme' : undeclared identifier", false},
                                 {9, "warning: extension not supported", true},
                                 {31, "error C1008: undefined variable \"x\"", false},
                                 {0, "error: fragment shader lacks `main'", false}};
    ASSERT_EQ(entries.size(), std::size(expected));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].line, expected[i].line) << i;
        EXPECT_EQ(entries[i].message, expected[i].message) << i;
        EXPECT_EQ(entries[i].warning, expected[i].warning) << i;
    }
}

}  // namespace
