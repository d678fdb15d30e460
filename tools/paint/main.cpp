// officialposter: paints the picture that scene 1 shows, procedurally, to a PNG file, and on
// request the desktop icon: the poster's great globe, without the lettering around it.
// The build runs it; the same source gives the same bytes.
//   officialposter OUTPUT.png [ICON.png]
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
// stb's writer picks each row's filter well but deflates poorly; zlib's best level makes the
// poster a third smaller, which every download of the show and the page carries.
unsigned char* deflateWithZlib(unsigned char* data, int length, int* outLength, int /*quality*/)
{
    uLongf size = compressBound(static_cast<uLong>(length));
    auto* out = static_cast<unsigned char*>(std::malloc(size));  // stb frees it with free()
    if (out == nullptr || compress2(out, &size, data, static_cast<uLong>(length), Z_BEST_COMPRESSION) != Z_OK) {
        std::free(out);
        return nullptr;
    }
    *outLength = static_cast<int>(size);
    return out;
}
}  // namespace

#define STBIW_ZLIB_COMPRESS deflateWithZlib
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "poster.hpp"
#include "tooling/command_line.hpp"

namespace {
constexpr const char* kProgram = "officialposter";
constexpr const char* kUsage = R"(usage: officialposter OUTPUT.png [ICON.png]
Paints the poster that the demo's first scene shows to OUTPUT.png (1280x720) and, if asked,
the desktop icon cut from it to ICON.png (256x256). The build runs it; the same source gives
the same bytes.
)";

// Painted at 1920x1080 for its detail, stored at 1280x720: scene 1 shows it at 960x540, and
// the smaller file decodes and uploads in half the time at the demo's start-up.
constexpr int kStoredWidth = 1280;
constexpr int kStoredHeight = 720;
// The icon: the globe with a ring of its sun around it, at the desktops' usual largest size.
constexpr double kIconSpanInGlobeRadii = 2.7;
constexpr int kIconSize = 256;

bool writePng(const paint::Canvas& picture, const char* path)
{
    constexpr int kChannels = 3;
    const auto pixels = picture.rgb();
    if (stbi_write_png(path, picture.width(), picture.height(), kChannels, pixels.data(),
                       picture.width() * kChannels) != 0)
        return true;
    std::fprintf(stderr, "officialposter: cannot write %s\n", path);
    return false;
}

paint::Canvas icon()
{
    const paint::Canvas poster = paint::paintUnlettered();
    const int span = static_cast<int>(std::lround(kIconSpanInGlobeRadii * paint::kGlobeRadius));
    const int left = static_cast<int>(std::lround(paint::kGlobeCentre.x)) - span / 2;
    const int top = static_cast<int>(std::lround(paint::kGlobeCentre.y)) - span / 2;
    return poster.cropped(left, top, span, span).shrunk(kIconSize, kIconSize);
}
}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> operands = operandsOrExit(argc, argv, kProgram, kUsage, 1, 2);
    try {
        if (!writePng(paint::paintPoster().shrunk(kStoredWidth, kStoredHeight), operands[0].c_str()))
            return 1;
        if (operands.size() == 2 && !writePng(icon(), operands[1].c_str()))
            return 1;
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "officialposter: %s\n", e.what());
        return 1;
    }
    return 0;
}
