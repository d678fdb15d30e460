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
#include <iostream>

#include "music_samples.hpp"

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
    std::cerr << "usage: see the top of music_wav_tool.cpp\n";
    return 1;
}
