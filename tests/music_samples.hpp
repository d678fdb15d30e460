// WAV files for the music tests, written through libsndfile, and the reading of what a device
// played: a counter tune in which every frame names its own place (up to an hour of it), so a
// capture splits into runs of the tune that each show where they started; and the broken or
// unsupported files that the soundtrack must turn into silence.
#pragma once

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace samples {

// Frame f of the counter as 16-bit samples: left f mod 32767 + 1, right -(f / 32767 + 1),
// neither ever 0; further channels half the left.
constexpr int kCounterBase = 32767;
inline short counterLeft(long frame) { return static_cast<short>(frame % kCounterBase + 1); }
inline short counterRight(long frame) { return static_cast<short>(-(frame / kCounterBase + 1)); }

// `format` is a libsndfile format (container | sample type). Written a block at a time, so
// that an hour-long file takes no more memory than a short one.
inline bool writeCounter(const std::string& path, int format, int channels, int rate, long frames)
{
    SF_INFO info{0, rate, channels, format, 0, 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        return false;
    sf_command(file, SFC_SET_SCALE_INT_FLOAT_WRITE, nullptr, SF_TRUE);  // float files hold [-1, 1]
    std::vector<short> block;
    bool ok = true;
    for (long at = 0; at < frames && ok; at += 4096) {
        block.clear();
        for (long f = at; f < std::min(frames, at + 4096); ++f)
            for (int c = 0; c < channels; ++c)
                block.push_back(c == 0 ? counterLeft(f) : c == 1 ? counterRight(f) : short(counterLeft(f) / 2));
        const auto count = sf_count_t(block.size()) / channels;
        ok = sf_writef_short(file, block.data(), count) == count;
    }
    return sf_close(file) == 0 && ok;
}

// The tune frame a captured stereo frame holds (16 bits through float and back): -1 for
// silence, -2 for anything else.
inline long counterFrame(float left, float right)
{
    if (left == 0.0f && right == 0.0f)
        return -1;
    const float l = left * 32768.0f, r = -right * 32768.0f;
    if (l < 1 || r < 1 || l > kCounterBase || r > kCounterBase || l != std::floor(l) || r != std::floor(r))
        return -2;
    return (long(r) - 1) * kCounterBase + long(l) - 1;
}

// A file's interleaved samples as floats (libsndfile's 16 bits to float, as the demo's reader
// has them), or raw float32 stereo as parec writes it when named .f32; none when it can't be
// read or isn't stereo. While a device still writes a WAV its header's sizes are placeholders,
// and libsndfile reads up to the file's end.
inline std::vector<float> readStereo(const std::string& path)
{
    if (path.size() > 4 && path.substr(path.size() - 4) == ".f32") {
        std::ifstream raw(path, std::ios::binary);
        std::vector<float> samples;
        for (float pair[2]; raw.read(reinterpret_cast<char*>(pair), sizeof pair);)
            samples.insert(samples.end(), pair, pair + 2);
        return samples;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    std::vector<float> samples(file != nullptr && info.channels == 2 ? std::size_t(info.frames) * 2 : 0);
    if (file != nullptr) {
        samples.resize(2 * std::size_t(sf_readf_float(file, samples.data(), info.frames)));
        sf_close(file);
    }
    return samples;
}

// A stretch of a capture that plays the counter looped at its length frame after frame, or
// that is silent (first -1).
struct Run {
    long at = 0, first = 0, length = 0;
};

// The capture (interleaved stereo) as runs; `bad` is set to the first frame that is neither
// silence nor the counter (or one past its end), where the runs stop.
inline std::vector<Run> counterRuns(const std::vector<float>& capture, long loop, long& bad)
{
    std::vector<Run> runs;
    long next = -2;  // the tune frame that goes on with the last run
    for (bad = 0; bad < long(capture.size() / 2); ++bad) {
        const long frame = counterFrame(capture[2 * bad], capture[2 * bad + 1]);
        if (frame == -2 || frame >= loop)
            break;
        if (frame != next)
            runs.push_back({bad, frame, 0});
        ++runs.back().length;
        next = frame < 0 ? -1 : (frame + 1) % loop;
    }
    return runs;
}

// Each kind of sound file the soundtrack refuses; writeRefused makes one of them at `path`.
// (Missing files and FIFOs are the end-to-end bad-input test's.)
inline const std::vector<std::string> refusedKinds = {
    "text", "aiff", "ulaw", "zero-frames", "three-channels", "rate-too-high", "absurd-data-size"};

inline bool writeRefused(const std::string& kind, const std::string& path)
{
    constexpr int kPcm16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    const std::map<std::string, std::array<int, 4>> written = {  // format, channels, rate, frames
        {"aiff", {SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 2, 48000, 480}}, {"ulaw", {SF_FORMAT_WAV | SF_FORMAT_ULAW, 2, 48000, 480}},
        {"zero-frames", {kPcm16, 2, 48000, 0}}, {"three-channels", {kPcm16, 3, 48000, 480}},
        {"rate-too-high", {kPcm16, 2, 384000, 480}}, {"absurd-data-size", {kPcm16, 2, 48000, 0}}};
    if (kind == "text")
        return bool(std::ofstream(path) << "not a sound at all\n");
    const auto [format, channels, rate, frames] = written.at(kind);
    if (!writeCounter(path, format, channels, rate, frames))
        return false;
    // The data size of a plain 16-bit PCM WAV as libsndfile writes it, at byte 40, made to
    // claim 4 GB of audio that the file does not hold.
    return kind != "absurd-data-size" || bool(std::fstream(path, std::ios::in | std::ios::out | std::ios::binary)
                                                  .seekp(40)
                                                  .write("\xf0\xff\xff\xff", 4));
}

}  // namespace samples
