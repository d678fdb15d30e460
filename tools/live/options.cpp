// demo-live's option parsing; see options.hpp.
#include "options.hpp"

#include "clock.hpp"
#include "tooling/command_line.hpp"

namespace {

// A preview below this would be a few pixels wide.
constexpr double kMinPreviewScale = 0.05;

const std::vector<OptionSpec> kOptions{{"--at", true}, {"--paused", false}, {"--fullscreen", false},
    {"--no-hud", false}, {"--data", true}, {"--preview-scale", true}};

// Takes one option (and its value) into `options`; false when the value is bad.
bool take(const CommandLine::Given& given, LiveOptions& options)
{
    const std::string& name = given.name;
    const std::string& value = given.value;
    if (name == "--paused")
        options.paused = true;
    else if (name == "--fullscreen")
        options.fullscreen = true;
    else if (name == "--no-hud")
        options.hud = false;
    else if (name == "--at")
        return readNumber(value, options.at) && options.at >= 0.0 && options.at <= kScheduleSeconds;
    else if (name == "--data")
        return !(options.dataDir = value).empty();
    else {
        options.preview = true;
        return readNumber(value, options.previewScale) && options.previewScale >= kMinPreviewScale
            && options.previewScale <= 1.0;
    }
    return true;
}

}  // namespace

bool parseLiveOptions(const std::vector<std::string>& args, LiveOptions& options, std::string& error)
{
    options = LiveOptions{};
    CommandLine line;
    if (!readCommandLine(args, kOptions, 0, 0, line, error))
        return false;
    options.help = line.help;
    return takeOptions(line, [&](const CommandLine::Given& given) { return take(given, options); }, error);
}

std::string liveUsage(const char* program)
{
    return std::string("usage: ") + program + " [options]\n"
        "The show's live studio: plays the show in a window with the demo's own scene code, with\n"
        "the music in step, and reloads a shader, the picture or the tune as soon as it is saved.\n"
        "Run it from the build directory, where the demo's data sit, or name their folder.\n"
        "  --at S              start at S seconds of demo time (0 to 109, default 0)\n"
        "  --paused            start paused\n"
        "  --fullscreen        fill the primary monitor\n"
        "  --no-hud            start with the heads-up display hidden\n"
        "  --data DIR          the folder holding newshaders/, imgs/ and demotune.wav\n"
        "  --preview-scale F   start in the fast preview, rendering at F x 1080p (0.05 to 1)\n"
        "  --help              this text\n"
        "Keys: Space play/pause; Left/Right 1 s (5 s with Shift); , and . one frame; 1 2 3 the\n"
        "start of a scene, Home 0; I and O the loop's in and out, L loop on/off; [ and ] speed\n"
        "0.25x to 4x; P preview on/off; H the heads-up display; Escape quits.\n";
}
