// demo-live's command line: where the data are, where on the timeline to start and how to
// show it. Parsed without side effects, so that a bad option is refused before a window exists.
#pragma once

#include <string>
#include <vector>

struct LiveOptions {
    double at = 0.0;            // demo time to start at
    bool paused = false;
    bool fullscreen = false;    // the whole primary monitor, at its current mode
    bool hud = true;
    std::string dataDir;        // empty: the working directory
    double previewScale = 0.5;  // of 1080p, when the preview is on
    bool preview = false;       // on from the start (--preview-scale given)
    bool help = false;
};

// Parses argv[1..]; on a bad option returns false with a one-line reason in `error`.
bool parseLiveOptions(const std::vector<std::string>& args, LiveOptions& options, std::string& error);

// The --help text: the options and the keys.
std::string liveUsage();
