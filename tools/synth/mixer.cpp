// The mix. Instruments are rendered group by group into one scratch buffer, then summed into
// the master and the effect sends. The delay and reverb are first run over the last seconds
// of the loop to fill their memories, so their tails at the top are those of the bottom.
#include "mixer.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

#include "dsp.hpp"
#include "instruments.hpp"

namespace synth {
namespace {

struct Group {
    std::initializer_list<Instrument> instruments;
    double level;
    double duck;       // how far the kick pushes the group down, 0 to 1
    double delaySend;
    double reverbSend;
};

const Group kGroups[] = {
    {{Instrument::Kick, Instrument::Snare, Instrument::ClosedHat, Instrument::OpenHat,
      Instrument::Crash, Instrument::Riser}, 1.0, 0.0, 0.0, 0.07},
    {{Instrument::Bass}, 0.95, 0.55, 0.0, 0.0},
    {{Instrument::Pad}, 0.9, 0.6, 0.0, 0.35},
    {{Instrument::Pluck}, 0.8, 0.45, 0.3, 0.18},
    {{Instrument::Lead}, 0.9, 0.0, 0.28, 0.25},
};

constexpr double kDelayBeats = 0.75;  // a dotted eighth: the echoes fall between the hats
constexpr double kDelayFeedback = 0.42;
constexpr double kDelayReturn = 0.55;
constexpr double kDelayIntoReverb = 0.3;
constexpr double kReverbSeconds = 2.4;  // time to fall by 60 dB
constexpr double kReverbReturn = 0.5;
constexpr double kMasterLevel = 0.72;
constexpr double kPrimeSeconds = 12.0;  // longer than any tail the effects keep

// Sidechain gain: dips under each kick and recovers over a beat's first third, which makes
// the pad and bass breathe with the drums.
std::vector<float> duckCurve(const Score& score, std::size_t frames)
{
    constexpr double kDipSeconds = 0.004, kRecoverSeconds = 0.16;
    std::vector<float> depth(frames, 0.0f);
    const long dip = std::lround(kDipSeconds * kSampleRate);
    const long span = std::lround(kRecoverSeconds * kSampleRate);
    for (const Note& note : score.notes) {
        if (note.instrument != Instrument::Kick) continue;
        auto index = static_cast<std::size_t>(std::llround(beatsToSeconds(note.beat) * kSampleRate)) % frames;
        for (long i = 0; i < span; ++i) {
            const double t = static_cast<double>(i);
            const double d = note.velocity * (i < dip ? t / static_cast<double>(dip)
                                                      : 0.5 + 0.5 * std::cos(kPi * t / static_cast<double>(span)));
            depth[index] = std::max(depth[index], static_cast<float>(d));
            if (++index == frames) index = 0;
        }
    }
    return depth;
}

// Each note's own seed, from what the note is and where, so that a note sounds the same
// wherever the arrangement adds it and whatever is added beside it (a cut moved changes the
// tune around the cut alone).
std::uint64_t noteSeed(const Note& note)
{
    constexpr double kPlacesPerBeat = 256.0;  // finer than any note the score places
    std::uint64_t seed = static_cast<std::uint64_t>(note.instrument) << 56 ^
                         static_cast<std::uint64_t>(note.pitch) << 48 ^
                         static_cast<std::uint64_t>(std::llround(note.beat * kPlacesPerBeat));
    // splitmix64's finaliser: nearby notes get unrelated seeds.
    seed = (seed ^ (seed >> 30)) * 0xBF58476D1CE4E5B9ull;
    seed = (seed ^ (seed >> 27)) * 0x94D049BB133111EBull;
    return (seed ^ (seed >> 31)) | 1u;
}

// Runs `process(frame)` on the last kPrimeSeconds of the loop, then on the whole loop.
template <typename Process>
void aroundTheLoop(std::size_t frames, Process&& process)
{
    const auto prime = std::min(frames, static_cast<std::size_t>(kPrimeSeconds * kSampleRate));
    for (std::size_t i = frames - prime; i < frames; ++i) process(i, false);
    for (std::size_t i = 0; i < frames; ++i) process(i, true);
}

// Echoes that bounce between the sides, each a little darker than the last.
void pingPongDelay(const StereoBuffer& send, StereoBuffer& master, StereoBuffer& reverbSend)
{
    constexpr double kDamping = 0.35;
    const auto length = static_cast<std::size_t>(std::llround(beatsToSeconds(kDelayBeats) * kSampleRate));
    std::vector<double> left(length, 0.0), right(length, 0.0);
    std::size_t head = 0;
    double toneL = 0.0, toneR = 0.0;
    aroundTheLoop(send.frames(), [&](std::size_t i, bool audible) {
        const double outL = left[head], outR = right[head];
        toneL += kDamping * (outL - toneL);
        toneR += kDamping * (outR - toneR);
        const double mono = 0.5 * (static_cast<double>(send.left[i]) + static_cast<double>(send.right[i]));
        left[head] = mono + kDelayFeedback * toneR;
        right[head] = kDelayFeedback * toneL;
        if (++head == length) head = 0;
        if (!audible) return;
        master.left[i] += static_cast<float>(kDelayReturn * outL);
        master.right[i] += static_cast<float>(kDelayReturn * outR);
        reverbSend.left[i] += static_cast<float>(kDelayIntoReverb * outL);
        reverbSend.right[i] += static_cast<float>(kDelayIntoReverb * outR);
    });
}

// A feedback delay network: eight lines of coprime lengths mixed through a Hadamard
// matrix, each line losing highs and level as it recirculates.
void reverb(const StereoBuffer& send, StereoBuffer& master)
{
    constexpr std::size_t kLines = 8;
    constexpr std::array<std::size_t, kLines> kLengths = {1109, 1327, 1553, 1753, 1951, 2179, 2399, 2647};
    constexpr double kDamping = 0.45, kInputCut = 0.03, kOutput = 0.35;
    std::array<std::vector<double>, kLines> lines;
    std::array<std::size_t, kLines> heads{};
    std::array<double, kLines> gains{}, tone{};
    for (std::size_t k = 0; k < kLines; ++k) {
        lines[k].assign(kLengths[k], 0.0);
        gains[k] = std::pow(10.0, -3.0 * static_cast<double>(kLengths[k]) / (kReverbSeconds * kSampleRate));
    }
    double lowL = 0.0, lowR = 0.0;  // the send's lows, taken out so the tail stays clear
    aroundTheLoop(send.frames(), [&](std::size_t i, bool audible) {
        const double inL = static_cast<double>(send.left[i]), inR = static_cast<double>(send.right[i]);
        lowL += kInputCut * (inL - lowL);
        lowR += kInputCut * (inR - lowR);
        std::array<double, kLines> y{};
        for (std::size_t k = 0; k < kLines; ++k) {
            tone[k] += (1.0 - kDamping) * (lines[k][heads[k]] - tone[k]);
            y[k] = tone[k] * gains[k];
        }
        const double outL = kOutput * (y[0] + y[2] + y[4] + y[6]);
        const double outR = kOutput * (y[1] + y[3] + y[5] + y[7]);
        // In-place fast Hadamard transform, scaled to keep the energy.
        for (std::size_t h = 1; h < kLines; h *= 2) {
            for (std::size_t a = 0; a < kLines; a += 2 * h) {
                for (std::size_t b = a; b < a + h; ++b) {
                    const double u = y[b], v = y[b + h];
                    y[b] = u + v;
                    y[b + h] = u - v;
                }
            }
        }
        const double norm = 1.0 / std::sqrt(static_cast<double>(kLines));
        for (std::size_t k = 0; k < kLines; ++k) {
            const double in = (k % 2 == 0 ? inL - lowL : inR - lowR);
            lines[k][heads[k]] = y[k] * norm + in;
            if (++heads[k] == kLengths[k]) heads[k] = 0;
        }
        if (!audible) return;
        master.left[i] += static_cast<float>(kReverbReturn * outL);
        master.right[i] += static_cast<float>(kReverbReturn * outR);
    });
}

// Linear below the knee, then bends smoothly towards full scale, never past it.
double softLimit(double x)
{
    constexpr double kKnee = 0.7;
    const double magnitude = std::fabs(x);
    if (magnitude <= kKnee) return x;
    const double bent = kKnee + (1.0 - kKnee) * std::tanh((magnitude - kKnee) / (1.0 - kKnee));
    return x < 0.0 ? -bent : bent;
}

}  // namespace

std::vector<std::int16_t> mixdown(const Score& score)
{
    const auto frames = static_cast<std::size_t>(std::llround(score.seconds() * kSampleRate));
    StereoBuffer scratch(frames), master(frames), delaySend(frames), reverbSend(frames);
    const std::vector<float> duck = duckCurve(score, frames);

    for (const Group& group : kGroups) {
        scratch.clear();
        for (const Note& note : score.notes)
            if (std::find(group.instruments.begin(), group.instruments.end(), note.instrument) != group.instruments.end())
                renderNote(note, noteSeed(note), scratch);
        for (std::size_t i = 0; i < frames; ++i) {
            const double gain = group.level * (1.0 - group.duck * static_cast<double>(duck[i]));
            const double l = gain * static_cast<double>(scratch.left[i]);
            const double r = gain * static_cast<double>(scratch.right[i]);
            master.left[i] += static_cast<float>(l);
            master.right[i] += static_cast<float>(r);
            delaySend.left[i] += static_cast<float>(group.delaySend * l);
            delaySend.right[i] += static_cast<float>(group.delaySend * r);
            reverbSend.left[i] += static_cast<float>(group.reverbSend * l);
            reverbSend.right[i] += static_cast<float>(group.reverbSend * r);
        }
    }
    pingPongDelay(delaySend, master, reverbSend);
    reverb(reverbSend, master);

    constexpr double kFullScale = 32767.0;
    std::vector<std::int16_t> pcm(2 * frames);
    for (std::size_t i = 0; i < frames; ++i) {
        pcm[2 * i] = static_cast<std::int16_t>(std::lround(kFullScale * softLimit(kMasterLevel * static_cast<double>(master.left[i]))));
        pcm[2 * i + 1] = static_cast<std::int16_t>(std::lround(kFullScale * softLimit(kMasterLevel * static_cast<double>(master.right[i]))));
    }
    return pcm;
}

}  // namespace synth
