// demo-live's option parsing; see options.hpp. Numbers are read strictly (the whole argument
// must be the number), so that "--at 20s" is an error rather than 20.
#include "options.hpp"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "clock.hpp"

namespace {

// A preview below this would be a few pixels wide.
constexpr double kMinPreviewScale = 0.05;

bool parseNumber(const std::string& text, double& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && errno == 0 && *end == '\0' && std::isfinite(value);
}

}  // namespace

bool parseLiveOptions(const std::vector<std::string>& args, LiveOptions& options, std::string& error)
{
    options = LiveOptions{};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            return true;
        }
        if (name == "--paused" || name == "--fullscreen" || name == "--no-hud") {
            options.paused = options.paused || name == "--paused";
            options.fullscreen = options.fullscreen || name == "--fullscreen";
            options.hud = options.hud && name != "--no-hud";
            continue;
        }
        if (name != "--at" && name != "--data" && name != "--preview-scale") {
            error = "unknown option '" + name + "'";
            return false;
        }
        if (i + 1 == args.size()) {
            error = name + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        bool ok = true;
        if (name == "--at")
            ok = parseNumber(value, options.at) && options.at >= 0.0 && options.at <= kScheduleSeconds;
        else if (name == "--data")
            ok = !(options.dataDir = value).empty();
        else {
            ok = parseNumber(value, options.previewScale) && options.previewScale >= kMinPreviewScale &&
                 options.previewScale <= 1.0;
            options.preview = true;
        }
        if (!ok) {
            error = "bad value '" + value + "' for " + name;
            return false;
        }
    }
    return true;
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
