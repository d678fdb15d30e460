// Mixes the score down to 16-bit stereo: instrument groups with their levels, sidechain
// ducking under the kick, a ping-pong delay and a small reverb, and a soft limiter. Every
// effect runs around the loop, so the end flows into the beginning without a seam.
#pragma once

#include <cstdint>
#include <vector>

#include "score.hpp"

namespace synth {

// Interleaved left/right 16-bit frames, exactly score.seconds() long.
std::vector<std::int16_t> mixdown(const Score& score);

}  // namespace synth
