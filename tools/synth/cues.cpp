// The cue sheet read from the shaders' tracks; see cues.hpp.
#include "cues.hpp"

#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "score.hpp"
#include "show/show_data.hpp"
#include "show/tracks.hpp"

namespace synth {
namespace {

const Track& cueTrack(const TrackBlock& block, const char* name)
{
    const Track* track = block.find(name);
    if (track == nullptr)
        throw std::invalid_argument(std::string("the cue sheet has no track named ") + name);
    return *track;
}

// The sixteenth of the tune heard at demo time t.
int stepAt(const BeatGrid& grid, float t)
{
    return static_cast<int>(std::lround((t - grid.lag) * grid.beatsPerSecond * kStepsPerBeat));
}

}  // namespace

int Cues::kitAt(int step) const
{
    int pattern = 0;
    for (const Kit& stretch : kit)
        if (step >= stretch.from)
            pattern = stretch.pattern;
    return pattern;
}

Cues cuesFrom(const TrackBlock& block)
{
    Cues cues;
    for (const TrackKey& key : cueTrack(block, "part").keys)
        cues.cuts.push_back(stepAt(block.grid, key.time));
    for (const TrackKey& key : cueTrack(block, "crash").keys)
        if (key.value[0] >= 0.5f)
            cues.crashes.push_back(stepAt(block.grid, key.time));
    for (const TrackKey& key : cueTrack(block, "kit").keys)
        cues.kit.push_back({stepAt(block.grid, key.time), static_cast<int>(std::lround(key.value[0]))});
    return cues;
}

Cues readCues(const std::string& folder)
{
    for (const std::string& path : showDataFiles()) {
        if (path == kImagePath || path == kTunePath)
            continue;  // the shaders alone hold tracks
        std::ifstream file(folder + "/" + path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        const TrackSource read = readTracks(text.str());
        if (!read.problems.empty())
            throw std::invalid_argument(path + ":" + std::to_string(read.problems.front().line) + ": " +
                                        read.problems.front().message);
        if (read.found && read.block.find("part") != nullptr)
            return cuesFrom(read.block);
    }
    throw std::invalid_argument("no shader in " + folder + " holds the cue sheet (the tracks part, crash and kit)");
}

}  // namespace synth
