// demo-live's option parsing; see options.hpp.
#include "options.hpp"

#include <algorithm>

#include "clock.hpp"
#include "show/show_data.hpp"
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

// What a data folder holds, from the data table: its files and folders at the top,
// "newshaders/, imgs/ and demotune.wav".
std::string dataFolderContents()
{
    std::vector<std::string> items;
    for (const std::string& file : showDataFiles()) {
        const std::size_t slash = file.find('/');
        const std::string item = slash == std::string::npos ? file : file.substr(0, slash + 1);
        if (std::find(items.begin(), items.end(), item) == items.end())
            items.push_back(item);
    }
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    return text;
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

std::string liveUsage()
{
    return R"(usage: demo-live [options]
The show's live studio: plays the show in a window with the demo's own scene code, with
the music in step, and reloads a shader, the picture or the tune as soon as it is saved.
Run it from the build directory, where the demo's data sit, or name their folder.
  --at S              start at S seconds of demo time (0 to 109, default 0)
  --paused            start paused
  --fullscreen        fill the primary monitor
  --no-hud            start with the heads-up display hidden
  --data DIR          the folder holding )" + dataFolderContents() + R"(
  --preview-scale F   start in the fast preview, rendering at F x 1080p (0.05 to 1)
  --help              this text
Keys: Space play/pause; Left/Right 1 s (5 s with Shift); , and . one frame; 1 2 3 the
start of a scene, Home 0; I and O the loop's in and out, L loop on/off; [ and ] speed
0.25x to 4x; P preview on/off; H the heads-up display; Ctrl+Z and Ctrl+Shift+Z undo and redo an
edit of the tracks, Delete deletes the key last touched; Escape quits. On the display's lanes a
click adds a key at the playhead on the beat, a key drags in time and value, a right-click sets
its ease.
)";
}
