// Renders one frame of the show, as the demo would draw it at a given time, to a PNG:
// off-screen at the show's 1920x1080, then averaged down to the size asked for. Used for
// the README's screenshots; run it from build/, where the demo's data sit.
//   demo-snapshot TIME OUT.png [WIDTHxHEIGHT]
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "show/show_size.hpp"
#include "show/scenes.hpp"
#include "show/timeline.hpp"
#include "tooling/command_line.hpp"
#include "tooling/offscreen.hpp"
#include "tooling/pixels.hpp"

namespace {

constexpr const char* kProgram = "demo-snapshot";
constexpr int kFailedStatus = 1;

std::string usage()
{
    return std::string("usage: ") + kProgram + " TIME OUT.png [WIDTHxHEIGHT]\n"
        "Renders the frame the demo shows at TIME seconds (0 to " + std::to_string(int(kDemoEnd)) +
        ") off-screen, with the demo's own\nscene code and data from the working directory, to the PNG "
        "file OUT.png: at 1920x1080,\nor averaged down to WIDTHxHEIGHT (at most 1920x1080).\n"
        "Status 0 when the PNG is written, 1 when it cannot be, 2 for a bad command line.\n";
}

// The time and size asked for, or a one-line reason.
std::string readRequest(const std::vector<std::string>& operands, float& t, int& width, int& height)
{
    double seconds = 0.0;
    if (!readNumber(operands[0], seconds) || seconds < 0.0 || seconds > static_cast<double>(kDemoEnd))
        return badValue("time", operands[0]) + ": give seconds from 0 to " + std::to_string(int(kDemoEnd));
    t = static_cast<float>(seconds);
    if (operands.size() == 3 && (!readSize(operands[2], width, height) || width < 1 || height < 1 ||
                                 width > kShowWidth || height > kShowHeight))
        return badValue("size", operands[2]) + ": give WIDTHxHEIGHT, at most " + std::to_string(kShowWidth) +
               "x" + std::to_string(kShowHeight);
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    std::string error;
    float t = 0.0f;
    int width = kShowWidth;
    int height = kShowHeight;
    if (readCommandLine({argv + 1, argv + argc}, {}, 2, 3, line, error) && !line.help)
        error = readRequest(line.operands, t, width, height);
    if (const std::optional<int> status = answerCommandLine(kProgram, usage(), line.help, error))
        return *status;

    const std::string& out = line.operands[1];
    try {
        const OffscreenTarget target(kShowWidth, kShowHeight);
        const Scenes scenes = loadScenes();
        renderFrame(scenes, t);
        const std::vector<std::uint8_t> frame =
            downscaleRgba(target.readRgba(), target.width(), target.height(), width, height);
        if (stbi_write_png(out.c_str(), width, height, 4, frame.data(), width * 4) == 0) {
            std::fprintf(stderr, "%s: cannot write %s\n", kProgram, out.c_str());
            return kFailedStatus;
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n", kProgram, failure.what());
        return kFailedStatus;
    }
    return 0;
}
