// Where the looped tune stands at a time of the show. The music starts with the show at t = 0
// and loops without end, so time t hears frame round(t x rate) of that endless stream, which is
// that frame modulo the tune's length in the file. demo-capture cuts its soundtrack by it and
// demo-live seeks the music to it, so both hear what the show would at t.
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
