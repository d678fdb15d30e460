// Renders one frame of the show, as the demo would draw it at a given time, to a PNG:
// off-screen at the show's 1920x1080, then averaged down to the size asked for. Used for
// the README's screenshots; run it from build/, where the demo's data sit.
//   demo-snapshot TIME OUT.png [WIDTHxHEIGHT]
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "offscreen.hpp"
#include "scenes.hpp"
#include "window.hpp"

int main(int argc, char** argv)
{
    int width = kWindowWidth;
    int height = kWindowHeight;
    if (argc < 3 || argc > 4 || (argc == 4 && std::sscanf(argv[3], "%dx%d", &width, &height) != 2) ||
        width <= 0 || height <= 0 || width > kWindowWidth || height > kWindowHeight) {
        std::fprintf(stderr, "usage: %s TIME OUT.png [WIDTHxHEIGHT, at most %dx%d]\n", argv[0],
                     kWindowWidth, kWindowHeight);
        return 2;
    }
    const float t = std::strtof(argv[1], nullptr);
    try {
        const OffscreenTarget target(kWindowWidth, kWindowHeight);
        const Scenes scenes = loadScenes();
        renderFrame(scenes, t);
        const std::vector<std::uint8_t> frame =
            downscaleRgba(target.readRgba(), target.width(), target.height(), width, height);
        if (stbi_write_png(argv[2], width, height, 4, frame.data(), width * 4) == 0) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}
