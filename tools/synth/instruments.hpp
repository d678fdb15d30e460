// The synthesizer's voices: three drums, cymbals and a riser, and four pitched instruments.
// Each renders one note into a stereo buffer as long as the tune; what runs past the end
// wraps to the top, so the tails of the last bar sound under the first and the loop is seamless.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "score.hpp"

namespace synth {

struct StereoBuffer {
    explicit StereoBuffer(std::size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}

    std::size_t frames() const { return left.size(); }
    void clear();

    std::vector<float> left, right;
};

// Adds `note` to `out`. `seed` feeds the voice's noise and oscillator phases, so each note
// differs a little from the last, yet the same score always renders the same.
void renderNote(const Note& note, std::uint64_t seed, StereoBuffer& out);

}  // namespace synth
