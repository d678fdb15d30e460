// The tune as notes on a beat grid: which instrument plays, when, how long and how loud.
// The arrangement in score.cpp follows the demo's schedule; at 120 beats a minute in 4/4 a
// bar lasts two seconds, so every scene change falls on a bar or half-bar line.
#pragma once

#include <vector>

namespace synth {

constexpr double kBeatsPerMinute = 120.0;
constexpr int kBeatsPerBar = 4;
constexpr int kStepsPerBeat = 4;  // patterns are written in sixteenths
constexpr int kStepsPerBar = kBeatsPerBar * kStepsPerBeat;

inline double beatsToSeconds(double beats) { return beats * 60.0 / kBeatsPerMinute; }

enum class Instrument { Kick, Snare, ClosedHat, OpenHat, Crash, Riser, Bass, Pad, Pluck, Lead };

struct Note {
    Instrument instrument;
    double beat;      // start, in beats from the top of the tune
    double beats;     // how long it is held
    int pitch;        // MIDI note number; the drums ignore it
    double velocity;  // 0 to 1
};

struct Score {
    int bars;
    std::vector<Note> notes;

    double seconds() const { return beatsToSeconds(bars * kBeatsPerBar); }
};

struct Cues;

// The demo's soundtrack, its structure laid on the show's cue sheet. Throws
// std::invalid_argument if a line of the score is malformed, so a typo stops the build instead
// of playing a wrong note.
Score demoTune(const Cues& cues);

}  // namespace synth
