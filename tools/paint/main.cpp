// officialposter: paints the picture that scene 1 shows, procedurally, to a PNG file.
// Usage: officialposter OUTPUT.png. The build runs it; the same source gives the same bytes.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <cstdio>
#include <stdexcept>

#include "poster.hpp"

namespace {
// Painted at 1920x1080 for its detail, stored at 1280x720: scene 1 shows it at 960x540, and
// the smaller file decodes and uploads in half the time at the demo's start-up.
constexpr int kStoredWidth = 1280;
constexpr int kStoredHeight = 720;
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    try {
        const paint::Canvas poster = paint::paintPoster().shrunk(kStoredWidth, kStoredHeight);
        constexpr int kChannels = 4;
        constexpr int kCompression = 9;  // the most stb's writer offers: the grain costs bytes
        stbi_write_png_compression_level = kCompression;
        const auto pixels = poster.rgba();
        if (!stbi_write_png(argv[1], poster.width(), poster.height(), kChannels, pixels.data(), poster.width() * kChannels)) {
            std::fprintf(stderr, "officialposter: cannot write %s\n", argv[1]);
            return 1;
        }
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "officialposter: %s\n", e.what());
        return 1;
    }
    return 0;
}
