// Where a looped stream stands on its own time-line: the loop frame due at `at`, moving on at
// the file's rate unless paused. The sound engine's streaming thread keeps it from the commands
// it carries out, and a device opened anew after a loss resumes from it, as though the music
// had played on through the loss. Pure: the time is always given.
#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>

struct StreamTimeLine {
    using Clock = std::chrono::steady_clock;

    std::uint64_t loop = 1;  // frames in one loop of the file
    int rate = 1;            // its frames per second
    std::uint64_t frame = 0;
    Clock::time_point at;
    bool paused = false;

    // The loop frame due at `when`; a time before `at` counts as `at`.
    std::uint64_t frameAt(Clock::time_point when) const
    {
        if (paused)
            return frame;
        const double seconds = std::chrono::duration<double>(when - at).count();
        return (frame + static_cast<std::uint64_t>(std::llround(std::max(seconds, 0.0) * rate))) % loop;
    }
    void seek(std::uint64_t to, Clock::time_point when)
    {
        frame = to;
        at = when;
    }
    // Holds the frame reached at `when`, or moves on from it; holding twice changes nothing.
    void hold(bool held, Clock::time_point when)
    {
        if (held != paused) {
            seek(frameAt(when), when);
            paused = held;
        }
    }
};
