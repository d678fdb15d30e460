// demotune: renders the demo's soundtrack from the score in score.cpp to a WAV file.
// The build runs it; the same source always gives the same bytes.   demotune OUTPUT.wav
#include <cstdio>
#include <optional>
#include <stdexcept>

#include "dsp.hpp"
#include "mixer.hpp"
#include "score.hpp"
#include "tooling/command_line.hpp"
#include "wav.hpp"

namespace {
constexpr const char* kProgram = "demotune";
constexpr const char* kUsage = R"(usage: demotune OUTPUT.wav
Renders the demo's soundtrack from its score to OUTPUT.wav (44.1 kHz stereo, 16-bit), a tune
that loops seamlessly. The build runs it; the same source always gives the same bytes.
)";
}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> operands = operandsOrExit(argc, argv, kProgram, kUsage, 1, 1);
    const char* out = operands[0].c_str();
    try {
        const synth::Score tune = synth::demoTune();
        constexpr int kChannels = 2;
        if (!synth::writeWav(out, synth::mixdown(tune), kChannels, static_cast<int>(synth::kSampleRate))) {
            std::fprintf(stderr, "demotune: cannot write %s\n", out);
            return 1;
        }
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "demotune: bad score: %s\n", e.what());
        return 1;
    }
    return 0;
}
