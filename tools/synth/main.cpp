// demotune: renders the demo's soundtrack from the score in score.cpp, on the cue sheet in the
// show's shaders, to a WAV file. The build runs it; the same sources always give the same bytes.
//   demotune DATA_FOLDER OUTPUT.wav
#include <cstdio>
#include <optional>
#include <stdexcept>

#include "cues.hpp"
#include "dsp.hpp"
#include "mixer.hpp"
#include "score.hpp"
#include "tooling/command_line.hpp"
#include "wav.hpp"

namespace {
constexpr const char* kProgram = "demotune";
constexpr const char* kUsage = R"(usage: demotune DATA_FOLDER OUTPUT.wav
Renders the demo's soundtrack from its score to OUTPUT.wav (44.1 kHz stereo, 16-bit), a tune
that loops seamlessly, its kit, fills and crashes where the cue sheet in the shaders of
DATA_FOLDER (the tracks part, crash and kit) puts the show's cuts. The build runs it on the
repository's shaders; the same sources always give the same bytes.
)";
}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> operands = operandsOrExit(argc, argv, kProgram, kUsage, 2, 2);
    const char* out = operands[1].c_str();
    try {
        const synth::Score tune = synth::demoTune(synth::readCues(operands[0]));
        constexpr int kChannels = 2;
        if (!synth::writeWav(out, synth::mixdown(tune), kChannels, static_cast<int>(synth::kSampleRate))) {
            std::fprintf(stderr, "demotune: cannot write %s\n", out);
            return 1;
        }
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "demotune: %s\n", e.what());
        return 1;
    }
    return 0;
}
