// Renders one frame of the show, as the demo would draw it at a given time, to a PNG:
// off-screen at the size asked for (the show's 1920x1080 unless told), supersampled if asked,
// as demo-capture draws its frames. Used for the README's screenshots and as the reference of
// the tests; run it from build/, where the demo's data sit.
//   demo-snapshot [--supersample N] TIME OUT.png [WIDTHxHEIGHT]
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

namespace {

constexpr const char* kProgram = "demo-snapshot";
constexpr int kFailedStatus = 1;

const std::vector<OptionSpec> kOptions{{"--supersample", true}};

std::string usage()
{
    return std::string("usage: ") + kProgram + " [--supersample N] TIME OUT.png [WIDTHxHEIGHT]\n"
        "Renders the frame the demo shows at TIME seconds (0 to " + std::to_string(int(kDemoEnd)) +
        ") off-screen, with the demo's own\nscene code and data from the working directory, to the PNG "
        "file OUT.png, at WIDTHxHEIGHT\n(default 1920x1080, at most " + std::to_string(kMaxPictureWidth) + "x" +
        std::to_string(kMaxPictureHeight) + "), drawn as demo-capture draws its frames.\n"
        "  --supersample N  draw at N times the size each way (1 to " + std::to_string(kMaxSupersample) +
        ") and filter down in linear light\n"
        "Status 0 when the PNG is written, 1 when it cannot be, 2 for a bad command line.\n";
}

struct Request {
    float t = 0.0f;
    int width = kShowWidth;
    int height = kShowHeight;
    int supersample = 1;
};

// The time, size and supersampling asked for, or a one-line reason.
std::string readRequest(const CommandLine& line, Request& request)
{
    std::string error;
    if (!takeOptions(line, [&](const CommandLine::Given& given) { return readCount(given.value, request.supersample); },
                     error))
        return error;
    const std::vector<std::string>& operands = line.operands;
    double seconds = 0.0;
    if (!readNumber(operands[0], seconds) || seconds < 0.0 || seconds > static_cast<double>(kDemoEnd))
        return badValue("time", operands[0]) + ": give seconds from 0 to " + std::to_string(int(kDemoEnd));
    request.t = static_cast<float>(seconds);
    if (operands.size() == 3 && !readSize(operands[2], request.width, request.height))
        return badValue("size", operands[2]) + ": give WIDTHxHEIGHT";
    return pictureSizeProblem(request.width, request.height, request.supersample);
}

}  // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    std::string error;
    Request request;
    if (readCommandLine({argv + 1, argv + argc}, kOptions, 2, 3, line, error) && !line.help)
        error = readRequest(line, request);
    if (const std::optional<int> status = answerCommandLine(kProgram, usage(), line.help, error))
        return *status;

    const std::string& out = line.operands[1];
    try {
        const OffscreenTarget target(request.width, request.height, request.supersample);
        const Scenes scenes = loadScenes();
        target.beginFrame();
        renderFrame(scenes, request.t);
        target.endFrame();
        const std::vector<std::uint8_t> frame = target.readRgba();
        if (stbi_write_png(out.c_str(), request.width, request.height, 4, frame.data(), request.width * 4) == 0) {
            std::fprintf(stderr, "%s: cannot write %s\n", kProgram, out.c_str());
            return kFailedStatus;
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n", kProgram, failure.what());
        return kFailedStatus;
    }
    return 0;
}
