// Where the looped tune stands at a time of the show, for the programs that play it at the
// picture's own time: there the tune's first frame is heard at t = 0 and it loops without end,
// so time t hears frame round(t x rate) of that endless stream, which is that frame modulo the
// tune's length in the file. demo-capture cuts its soundtrack by it and demo-live seeks the
// music to it. (The demo itself starts its music once start-up is over.)
#pragma once

#include <cmath>
#include <cstdint>

// The frame of the endless stream at `seconds` (none before the show starts).
inline std::uint64_t streamFrameAt(double seconds, int sampleRate)
{
    return seconds > 0.0 ? static_cast<std::uint64_t>(std::llround(seconds * sampleRate)) : 0;
}

// The same frame within the tune of `length` frames (0 when there is no tune).
inline std::uint64_t tuneFrameAt(double seconds, int sampleRate, std::uint64_t length)
{
    return length > 0 ? streamFrameAt(seconds, sampleRate) % length : 0;
}
