// The show's cue sheet in the tune's terms: the tracks that give the show its structure (`part`,
// `crash` and `kit`, in the shaders' tracks block) with their keys turned from demo time into
// the tune's sixteenths, for the score to lay the kick, the snare's fills and rolls, the risers
// and the crashes on. The picture is cut by the same keys, so a cut moved there moves in both.
#pragma once

#include <string>
#include <vector>

struct TrackBlock;

namespace synth {

struct Cues {
    std::vector<int> cuts;     // where each part opens, in sixteenths from the tune's start
    std::vector<int> crashes;  // the cuts that land on a crash
    // Where the kick plays: from one step on, until the next stretch, 0 not at all, 1 on every
    // beat, 2 on every other.
    struct Kit {
        int from;
        int pattern;
    };
    std::vector<Kit> kit;

    // The kick's pattern at a step.
    int kitAt(int step) const;
};

// The cue sheet of the block. Throws std::invalid_argument when a cue track is missing.
Cues cuesFrom(const TrackBlock& block);

// The cue sheet from the shaders of the show's data table in `folder` (the first block that
// holds it). Throws std::invalid_argument with the file when none does or a block is broken.
Cues readCues(const std::string& folder);

}  // namespace synth
