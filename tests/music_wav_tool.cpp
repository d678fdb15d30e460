// Helper for the music tests of the real programs: writes the tune they play, and reads back
// what OpenAL Soft's wave-file output or a sound server's monitor captured (32-bit float stereo).
//   music_wav_tool counter PATH RATE FRAMES   16-bit stereo counter tune (see music_samples.hpp)
//   music_wav_tool runs CAPTURE FRAMES        the capture (a WAV, or raw float32 stereo as parec
//                                             writes it when named .f32) as runs of the counter
//                                             looped at FRAMES, "AT FIRST LENGTH" a line in
//                                             capture frames, FIRST -1 for silence; status 2 at
//                                             a frame that is neither
//   music_wav_tool complete CAPTURE           status 0 when the capture's header was completed
//                                             (the device was stopped before the process ended)
//   music_wav_tool same SOUND TUNE FRAME      status 0 when SOUND is TUNE from FRAME on (modulo its
//                                             length) sample for sample; else the first difference
#include <iostream>

#include "music_samples.hpp"

namespace {

// Sample i of the looped tune from frame `from` on.
float tuneAt(const std::vector<float>& tune, long from, std::size_t i)
{
    return tune[std::size_t(2 * from + long(i)) % tune.size()];
}

// 0 when `sound` is the tune from `from` on, sample-exact; 2 naming the first difference.
int same(const std::vector<float>& sound, const std::vector<float>& tune, long from)
{
    for (std::size_t i = 0; i < sound.size(); ++i) {
        if (sound[i] != tuneAt(tune, from, i)) {
            std::cerr << "frame " << i / 2 << " of " << sound.size() / 2 << ": " << sound[i] * 32768
                      << " where the tune from frame " << from << " has " << tuneAt(tune, from, i) * 32768 << '\n';
            return 2;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "counter")
        return !samples::writeCounter(args[1], SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, std::stoi(args[2]), std::stol(args[3]));
    if (args.size() == 3 && args[0] == "runs") {
        const std::vector<float> capture = samples::readStereo(args[1]);
        long bad = 0;
        for (const samples::Run& run : samples::counterRuns(capture, std::stol(args[2]), bad))
            std::cout << run.at << ' ' << run.first << ' ' << run.length << '\n';
        if (bad == long(capture.size() / 2))
            return 0;
        std::cerr << "capture frame " << bad << ": " << capture[2 * bad] * 32768 << ' ' << capture[2 * bad + 1] * 32768
                  << " is neither silence nor the tune\n";
        return 2;
    }
    if (args.size() == 2 && args[0] == "complete") {  // the RIFF size is all ones until then
        char riff[8] = {};
        return !std::ifstream(args[1], std::ios::binary).read(riff, 8) || std::string(riff + 4, 4) == "\xff\xff\xff\xff";
    }
    if (args.size() == 4 && args[0] == "same") {
        const std::vector<float> sound = samples::readStereo(args[1]), tune = samples::readStereo(args[2]);
        if (sound.empty() || tune.empty()) {
            std::cerr << "no stereo sound in " << (sound.empty() ? args[1] : args[2]) << '\n';
            return 2;
        }
        return same(sound, tune, std::stol(args[3]));
    }
    std::cerr << "usage: see the top of music_wav_tool.cpp\n";
    return 1;
}
