// demotune: renders the demo's soundtrack from the score in score.cpp to a WAV file.
// Usage: demotune OUTPUT.wav. The build runs it; the same source always gives the same bytes.
#include <cstdio>
#include <stdexcept>

#include "dsp.hpp"
#include "mixer.hpp"
#include "score.hpp"
#include "wav.hpp"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.wav\n", argv[0]);
        return 2;
    }
    try {
        const synth::Score tune = synth::demoTune();
        constexpr int kChannels = 2;
        if (!synth::writeWav(argv[1], synth::mixdown(tune), kChannels, static_cast<int>(synth::kSampleRate))) {
            std::fprintf(stderr, "demotune: cannot write %s\n", argv[1]);
            return 1;
        }
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "demotune: bad score: %s\n", e.what());
        return 1;
    }
    return 0;
}
