// Helper for the music tests of the real demo: writes the files it plays, and reads back what
// OpenAL Soft's wave-file output or a sound server's monitor captured (32-bit float stereo).
//   music_wav_tool pattern PATH RATE FRAMES   16-bit stereo pattern (see music_samples.hpp)
//   music_wav_tool counter PATH RATE FRAMES   16-bit stereo counter: every frame of a tune of up
//                                             to an hour says which it is (see counterFrame)
//   music_wav_tool refused KIND PATH          one of the files the soundtrack refuses
//   music_wav_tool matched CAPTURE FRAMES     prints how many frames of the pattern, looped at
//                                             FRAMES, follow the leading silence sample-exact;
//                                             status 2 when a wrong frame follows them
//   music_wav_tool resumed CAPTURE FRAMES     the same with one run of silence allowed within, the
//                                             pattern going on after it from where it stopped:
//                                             prints the frames before it, in it, and after it
//   music_wav_tool runs CAPTURE FRAMES        the capture as runs of the pattern (FRAMES < 32767),
//                                             looped at FRAMES, and of silence: "play FIRST COUNT"
//                                             or "silence COUNT" a line; status 2 at a frame that
//                                             is neither
//   music_wav_tool unbroken CAPTURE FRAMES TAIL  the pattern from the leading silence on, sample-
//                                             exact, to within TAIL frames of the capture's end
//                                             (where the stop fades it out): prints its frames;
//                                             status 2 when a wrong frame comes before that
//   music_wav_tool counter-runs CAPTURE FRAMES  reads a raw capture (float32 stereo, parec's) of
//                                             the counter looped at FRAMES; prints each run of it
//                                             that plays on frame after frame as "CAPTURE_FRAME
//                                             TUNE_FRAME LENGTH"; status 2 at a frame that is
//                                             neither silence nor the counter (a changed level)
//   music_wav_tool complete CAPTURE           status 0 when the capture's header was completed
//                                             (the device was stopped before the process ended)
//   music_wav_tool same SOUND TUNE FRAME      status 0 when SOUND is TUNE from FRAME on (modulo its
//                                             length) sample for sample; else the first difference
//   music_wav_tool snr SOUND TUNE FRAME LAGS  prints the best signal-to-noise ratio in dB of SOUND
//                                             against TUNE from FRAME + lag, |lag| <= LAGS, and lag
#include <cmath>
#include <iostream>

#include "music_samples.hpp"

namespace {

// The file's interleaved samples as floats (libsndfile's 16 bits to float, as the demo's
// reader has them); none when it can't be read or isn't stereo.
std::vector<float> stereo(const char* path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    std::vector<float> samples(file != nullptr && info.channels == 2 ? std::size_t(info.frames) * 2 : 0);
    if (file != nullptr) {
        samples.resize(2 * std::size_t(sf_readf_float(file, samples.data(), info.frames)));
        sf_close(file);
    }
    return samples;
}

// The capture after its leading silence: frames of the pattern, looped at `frames`, sample-exact,
// and where a gap is allowed, one run of silence within them after which the pattern goes on
// from where it stopped; `broken` when a wrong frame follows. While the demo runs the header's
// sizes are placeholders, and libsndfile reads up to the file's end.
struct Match {
    std::size_t played = 0, silent = 0, resumed = 0;  // before the gap, in it, after it
    bool broken = false;
    std::size_t left = 0;  // frames from the first wrong one to the end, that one included
};

Match matching(const char* path, int frames, bool gapAllowed)
{
    const std::vector<float> samples = stereo(path);
    const std::size_t total = samples.size() / 2;
    std::size_t i = 0;
    while (i < total && samples[2 * i] == 0.0f && samples[2 * i + 1] == 0.0f)
        ++i;
    Match match;
    for (; i < total; ++i) {
        if (gapAllowed && match.resumed == 0 && samples[2 * i] == 0.0f && samples[2 * i + 1] == 0.0f) {
            ++match.silent;
            continue;
        }
        const std::size_t at = match.played + match.resumed;
        const int k = int(at % std::size_t(frames));
        const float expected = samples::patternLeft(k) / 32768.0f;  // libsndfile's and OpenAL's 16 bits to float
        if (samples[2 * i] != expected || samples[2 * i + 1] != -expected) {
            std::cerr << "after " << at << " frames" << (match.silent > 0 ? " and a silence" : "") << ": frame " << k
                      << " of the pattern expected, got " << samples[2 * i] * 32768 << ' ' << samples[2 * i + 1] * 32768
                      << '\n';
            match.broken = true;
            match.left = total - i;
            break;
        }
        ++(match.silent > 0 ? match.resumed : match.played);
    }
    return match;
}

// Prints the capture's runs; see the top of the file.
int runs(const char* path, int frames)
{
    const std::vector<float> samples = stereo(path);
    long first = -1, count = 0, next = -1;  // the run so far: its first frame, length, next frame
    const auto end = [&] {
        if (count > 0)
            std::cout << (first < 0 ? "silence " : "play " + std::to_string(first) + ' ') << count << '\n';
    };
    for (std::size_t i = 0; i < samples.size() / 2; ++i) {
        const float left = samples[2 * i] * 32768, right = samples[2 * i + 1] * 32768;
        const long k = left == 0 && right == 0 ? -1 : long(left) - 1;
        if (k >= frames || left != std::floor(left) || right != -left) {
            end();
            std::cerr << "frame " << i << ": " << left << ' ' << right << " is neither silence nor the pattern\n";
            return 2;
        }
        if (count > 0 && (k < 0 ? first < 0 : first >= 0 && k == next)) {
            ++count;
        } else {
            end();
            first = k;
            count = 1;
        }
        next = (k + 1) % frames;
    }
    end();
    return 0;
}

// The counter's frame f: left f mod 32767 + 1, right -(f / 32767 + 1), neither ever 0, so
// that each frame of a capture names its place in the tune whatever came before it.
constexpr int kCounterBase = 32767;

bool writeCounter(const std::string& path, int rate, int frames)
{
    if (frames > kCounterBase * kCounterBase)
        return false;
    SF_INFO info{0, rate, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        return false;
    std::vector<short> block;
    bool ok = true;
    for (int at = 0; at < frames && ok; at += kCounterBase) {
        block.clear();
        for (int f = at; f < std::min(frames, at + kCounterBase); ++f)
            block.insert(block.end(), {short(f % kCounterBase + 1), short(-(f / kCounterBase + 1))});
        ok = sf_writef_short(file, block.data(), sf_count_t(block.size() / 2)) == sf_count_t(block.size() / 2);
    }
    return sf_close(file) == 0 && ok;
}

// The tune frame a captured frame holds: -1 for silence, -2 for anything else.
long counterFrame(float left, float right)
{
    if (left == 0.0f && right == 0.0f)
        return -1;
    const float l = left * 32768.0f, r = -right * 32768.0f;  // libsndfile's 16 bits to float and back
    if (l < 1 || r < 1 || l > kCounterBase || r > kCounterBase || l != std::floor(l) || r != std::floor(r))
        return -2;
    return (long(r) - 1) * kCounterBase + long(l) - 1;
}

// Each run of the looped counter in a raw capture; 2 at a frame that isn't the counter.
int counterRuns(const char* path, long frames)
{
    std::ifstream in(path, std::ios::binary);
    float frame[2];
    long at = 0, start = 0, first = 0, next = -1;  // next: the tune frame that continues the run
    const auto report = [&] {
        if (next >= 0)
            std::cout << start << ' ' << first << ' ' << at - start << '\n';
    };
    for (; in.read(reinterpret_cast<char*>(frame), sizeof frame); ++at) {
        const long tune = counterFrame(frame[0], frame[1]);
        if (tune == -2 || tune >= frames) {
            report();
            std::cerr << "capture frame " << at << ": " << frame[0] * 32768 << ' ' << frame[1] * 32768
                      << " is not the counter\n";
            return 2;
        }
        if (tune != next) {
            report();
            start = at;
            first = tune;
        }
        next = tune < 0 ? -1 : (tune + 1) % frames;
    }
    report();
    return 0;
}

// Sample i of the looped tune from frame `from` + `lag` on (the loop's start when negative).
float tuneAt(const std::vector<float>& tune, long from, long lag, std::size_t i)
{
    const auto length = long(tune.size());
    return tune[std::size_t(((2 * (from + lag) + long(i)) % length + length) % length)];
}

// 0 when `sound` is the tune from `from` on, sample-exact; 2 naming the first difference.
int same(const std::vector<float>& sound, const std::vector<float>& tune, long from)
{
    for (std::size_t i = 0; i < sound.size(); ++i) {
        if (sound[i] != tuneAt(tune, from, 0, i)) {
            std::cerr << "frame " << i / 2 << " of " << sound.size() / 2 << ": " << sound[i] * 32768
                      << " where the tune from frame " << from << " has " << tuneAt(tune, from, 0, i) * 32768 << '\n';
            return 2;
        }
    }
    return 0;
}

// The sound's energy over that of its difference from the tune, at the best lag.
void snr(const std::vector<float>& sound, const std::vector<float>& tune, long from, long lags)
{
    double signal = 0, best = HUGE_VAL;
    long bestLag = 0;
    for (float s : sound)
        signal += double(s) * double(s);
    for (long lag = -lags; lag <= lags; ++lag) {
        double noise = 0;
        for (std::size_t i = 0; i < sound.size() && noise < best; ++i)
            noise += std::pow(double(sound[i] - tuneAt(tune, from, lag, i)), 2);
        if (noise < best) {
            best = noise;
            bestLag = lag;
        }
    }
    std::cout << 10 * std::log10(signal / best) << ' ' << bestLag << '\n';
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "pattern")
        return !samples::writePattern(args[1], SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, std::stoi(args[2]), std::stoi(args[3]));
    if (args.size() == 4 && args[0] == "counter")
        return !writeCounter(args[1], std::stoi(args[2]), std::stoi(args[3]));
    if (args.size() == 3 && args[0] == "counter-runs")
        return counterRuns(args[1].c_str(), std::stol(args[2]));
    if (args.size() == 3 && args[0] == "refused")
        return !samples::writeRefused(args[1], args[2]);
    if (args.size() == 3 && (args[0] == "matched" || args[0] == "resumed")) {
        const Match match = matching(args[1].c_str(), std::stoi(args[2]), args[0] == "resumed");
        if (args[0] == "matched")
            std::cout << match.played << '\n';
        else
            std::cout << match.played << ' ' << match.silent << ' ' << match.resumed << '\n';
        return match.broken ? 2 : 0;
    }
    if (args.size() == 3 && args[0] == "runs")
        return runs(args[1].c_str(), std::stoi(args[2]));
    if (args.size() == 4 && args[0] == "unbroken") {
        const Match match = matching(args[1].c_str(), std::stoi(args[2]), false);
        std::cout << match.played << '\n';
        return match.broken && match.left > std::stoul(args[3]) ? 2 : 0;
    }
    if (args.size() == 2 && args[0] == "complete") {  // the RIFF size is all ones until then
        char riff[8] = {};
        return !std::ifstream(args[1], std::ios::binary).read(riff, 8) || std::string(riff + 4, 4) == "\xff\xff\xff\xff";
    }
    if ((args.size() == 4 && args[0] == "same") || (args.size() == 5 && args[0] == "snr")) {
        const std::vector<float> sound = stereo(args[1].c_str()), tune = stereo(args[2].c_str());
        if (sound.empty() || tune.empty()) {
            std::cerr << "no stereo sound in " << (sound.empty() ? args[1] : args[2]) << '\n';
            return 2;
        }
        if (args[0] == "same")
            return same(sound, tune, std::stol(args[3]));
        snr(sound, tune, std::stol(args[3]), std::stol(args[4]));
        return 0;
    }
    std::cerr << "usage: see the top of music_wav_tool.cpp\n";
    return 1;
}
