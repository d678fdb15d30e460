// demo-live's own timeline: the show's time as the studio plays it, paused, sought, stepped a
// frame at a time, looped over a span and sped up or slowed down, and wrapped back to 0 at the
// end of the schedule instead of ending. Pure logic, fed the wall-clock time that passed, so it
// is tested without a window; every jump, and every start of play, is a cue for the music.
#pragma once

#include <cstdint>

#include "show/timeline.hpp"

// The frame grid of the studio's frame steps and its time readout.
inline constexpr double kStudioFps = 60.0;
// The studio's time runs from 0 to the end of the schedule.
inline constexpr double kScheduleSeconds = static_cast<double>(kDemoEnd);

class LiveClock {
public:
    LiveClock(double at, bool playing);

    double time() const { return time_; }
    bool playing() const { return playing_; }
    double speed() const;
    // The frame of the 60 fps grid that the time falls in.
    std::int64_t frame() const;
    // Counts the cues: each jump of the time (a seek, a frame step, a loop jump, the wrap at the
    // end) and each start of play. The music starts anew from the time of the latest.
    std::uint64_t cues() const { return cues_; }
    double cueTime() const { return cueTime_; }

    // Moves the time on by `seconds` of wall-clock time at the current speed, when playing.
    void advance(double seconds);

    void setPlaying(bool playing);
    // To `seconds`, held within the schedule.
    void seek(double seconds);
    // One frame of the grid later (`frames` > 0) or earlier, from the frame the time falls in;
    // stepping pauses.
    void step(int frames);

    // Speeds from 0.25x to 4x, each step halving or doubling.
    void faster();
    void slower();

    // The loop span: playing on from before its end, the time jumps back to its start when it
    // reaches the end. Setting one point on the far side of the other moves that one back to
    // the schedule's bound.
    struct Span {
        double in = 0.0;
        double out = kScheduleSeconds;
        bool on = false;
    };
    const Span& loop() const { return loop_; }
    void setIn();
    void setOut();
    void toggleLoop() { loop_.on = !loop_.on; }

private:
    void cue();
    void jumpTo(double seconds);

    double time_;
    bool playing_;
    int speedStep_;
    Span loop_;
    std::uint64_t cues_ = 0;
    double cueTime_;
};

// The start of scene 1, 2 or 3 on the schedule: the first time that draws it.
double sceneStart(Cue scene);
