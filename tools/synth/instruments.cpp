// The voices. Drums are pitch-swept sines and filtered noise; the bass, pad, pluck and lead
// are subtractive: band-limited saws and squares through a state-variable filter with
// envelopes. Each voice's level constant balances it against the others before the mix.
#include "instruments.hpp"

#include <algorithm>
#include <cmath>

#include "dsp.hpp"

namespace synth {
namespace {

// How many samples pass between filter retunings under a sweeping cutoff.
constexpr int kRetuneEvery = 16;

// Writes into the buffer at a running position that wraps from the end to the top.
class Cursor {
public:
    Cursor(StereoBuffer& out, double beat) : out_(out)
    {
        const auto start = static_cast<std::size_t>(std::llround(beatsToSeconds(beat) * kSampleRate));
        index_ = start % out.frames();
    }

    void add(double left, double right)
    {
        out_.left[index_] += static_cast<float>(left);
        out_.right[index_] += static_cast<float>(right);
        if (++index_ == out_.frames()) index_ = 0;
    }

private:
    StereoBuffer& out_;
    std::size_t index_;
};

long samplesFor(double seconds) { return static_cast<long>(seconds * kSampleRate); }

// Fades the last part of a one-shot drum to exact silence.
double tailFade(long i, long length) { return 1.0 - static_cast<double>(i) / static_cast<double>(length); }

void kick(const Note& note, Cursor& out, Noise& noise)
{
    constexpr double kLength = 0.45, kBodyDecay = 0.2, kSweepDecay = 0.032;
    constexpr double kLowHz = 44.0, kSweepHz = 120.0, kClickDecay = 0.003;
    const long length = samplesFor(kLength);
    const double body = decayFactor(kBodyDecay), sweep = decayFactor(kSweepDecay), click = decayFactor(kClickDecay);
    Sine sine;
    double bodyLevel = 1.0, sweepLevel = 1.0, clickLevel = 1.0, clickTone = 0.0;
    for (long i = 0; i < length; ++i) {
        const double tone = saturate(1.8 * sine.next(kLowHz + kSweepHz * sweepLevel)) * bodyLevel;
        clickTone += 0.3 * (noise.next() - clickTone);  // a soft thud rather than a tick
        const double v = (0.55 * tone + 0.2 * clickTone * clickLevel) * note.velocity * tailFade(i, length);
        out.add(v, v);
        bodyLevel *= body;
        sweepLevel *= sweep;
        clickLevel *= click;
    }
}

void snare(const Note& note, Cursor& out, Noise& noise)
{
    constexpr double kLength = 0.32, kToneDecay = 0.045, kNoiseDecay = 0.11;
    const long length = samplesFor(kLength);
    const double toneDecay = decayFactor(kToneDecay), noiseDecay = decayFactor(kNoiseDecay);
    Sine sine;
    Filter left, right;
    left.tune(1400.0, 0.2);
    right.tune(1500.0, 0.2);
    constexpr double kSoften = 0.45;  // one-pole low-pass near 4 kHz: snap without fizz
    double toneLevel = 1.0, noiseLevel = 1.0, topL = 0.0, topR = 0.0;
    for (long i = 0; i < length; ++i) {
        const double tone = sine.next(185.0 + 60.0 * toneLevel) * toneLevel;
        const double shared = noise.next();
        topL += kSoften * (left.process(0.8 * shared + 0.2 * noise.next()).high - topL);
        topR += kSoften * (right.process(0.8 * shared + 0.2 * noise.next()).high - topR);
        const double l = topL, r = topR;
        const double gain = note.velocity * tailFade(i, length);
        out.add((0.32 * tone + 0.4 * l * noiseLevel) * gain, (0.32 * tone + 0.4 * r * noiseLevel) * gain);
        toneLevel *= toneDecay;
        noiseLevel *= noiseDecay;
    }
}

// Hats and crash: high-passed noise, the open hat and crash longer and wider.
void metal(const Note& note, Cursor& out, Noise& noise, double seconds, double decay, double cutoff,
           double position, double width, double level)
{
    const long length = samplesFor(seconds);
    const double factor = decayFactor(decay);
    const Pan p = pan(position);
    Filter left, right;
    left.tune(cutoff, 0.25);
    right.tune(cutoff * 1.07, 0.25);
    double env = 1.0;
    for (long i = 0; i < length; ++i) {
        const double shared = noise.next();
        const double l = left.process((1.0 - width) * shared + width * noise.next()).high;
        const double r = right.process((1.0 - width) * shared + width * noise.next()).high;
        const double attack = std::min(1.0, static_cast<double>(i) / 40.0);
        const double gain = level * note.velocity * env * attack * tailFade(i, length);
        out.add(l * gain * p.left, r * gain * p.right);
        env *= factor;
    }
}

// Noise through a band-pass whose centre climbs four octaves and more, growing louder.
void riser(const Note& note, Cursor& out, Noise& noise)
{
    constexpr double kFromHz = 300.0, kToHz = 7000.0, kLevel = 0.35;
    const long length = samplesFor(beatsToSeconds(note.beats));
    Filter left, right;
    for (long i = 0; i < length; ++i) {
        const double progress = static_cast<double>(i) / static_cast<double>(length);
        if (i % kRetuneEvery == 0) {
            const double hz = kFromHz * std::pow(kToHz / kFromHz, progress);
            left.tune(hz, 0.55);
            right.tune(hz * 1.05, 0.55);
        }
        // Rises as a square, then closes over the last few milliseconds onto the downbeat.
        const double closing = std::min(1.0, static_cast<double>(length - i) / 200.0);
        const double gain = kLevel * note.velocity * progress * progress * closing;
        out.add(left.process(noise.next()).band * gain, right.process(noise.next()).band * gain);
    }
}

// A saw with a sine under it, its filter snapping shut after each note's start.
void bass(const Note& note, Cursor& out, Noise& noise)
{
    constexpr double kRelease = 0.03, kFilterDecay = 0.09, kLevel = 0.42;
    const double seconds = beatsToSeconds(note.beats);
    const long length = Envelope::duration(seconds, kRelease);
    const double hz = noteToHz(note.pitch);
    Envelope amp(0.003, 0.15, 0.65, kRelease, seconds);
    Saw saw(0.5 + 0.5 * noise.next());
    Sine sub;
    Filter filter;
    const double sweep = decayFactor(kFilterDecay);
    double filterLevel = 1.0;
    for (long i = 0; i < length; ++i) {
        if (i % kRetuneEvery == 0) filter.tune(110.0 + 1500.0 * note.velocity * filterLevel, 0.35);
        const double tone = 0.6 * sub.next(hz) + 0.55 * filter.process(saw.next(hz)).low;
        const double v = kLevel * saturate(1.3 * tone) * amp.next();
        out.add(v, v);
        filterLevel *= sweep;
    }
}

// Two saws a side, each detuned on its own, so the chord is wide and slowly beating.
void pad(const Note& note, Cursor& out, Noise& noise)
{
    constexpr double kRelease = 0.5, kLevel = 0.12;
    constexpr double kDetuneCents[4] = {-9.0, 6.0, -5.0, 10.0};  // left pair, right pair
    const double seconds = beatsToSeconds(note.beats);
    const long length = Envelope::duration(seconds, kRelease);
    const double base = noteToHz(note.pitch);
    double hz[4];
    Saw saws[4] = {Saw(0.5 + 0.5 * noise.next()), Saw(0.5 + 0.5 * noise.next()),
                   Saw(0.5 + 0.5 * noise.next()), Saw(0.5 + 0.5 * noise.next())};
    for (int k = 0; k < 4; ++k) hz[k] = base * std::pow(2.0, kDetuneCents[k] / 1200.0);
    Envelope amp(0.3, 1.2, 0.8, kRelease, seconds);
    Filter left, right;
    const double cutoff = 500.0 + 2600.0 * note.velocity;
    left.tune(cutoff, 0.15);
    right.tune(cutoff, 0.15);
    for (long i = 0; i < length; ++i) {
        const double e = kLevel * amp.next();
        const double l = left.process(saws[0].next(hz[0]) + saws[1].next(hz[1])).low;
        const double r = right.process(saws[2].next(hz[2]) + saws[3].next(hz[3])).low;
        out.add(l * e, r * e);
    }
}

// A square with a resonant filter that closes fast: the arpeggio, panned step by step.
void pluck(const Note& note, Cursor& out, Noise& noise)
{
    constexpr double kRelease = 0.06, kFilterDecay = 0.07, kLevel = 0.3, kSpread = 0.5;
    const double seconds = beatsToSeconds(note.beats);
    const long length = Envelope::duration(seconds, kRelease);
    const double hz = noteToHz(note.pitch);
    const long step = std::lround(note.beat * kStepsPerBeat);
    const Pan p = pan(step % 2 == 0 ? -kSpread : kSpread);
    Envelope amp(0.002, 0.16, 0.0, kRelease, seconds);
    Square square(0.5 + 0.5 * noise.next());
    Filter filter;
    const double sweep = decayFactor(kFilterDecay);
    double filterLevel = 1.0;
    for (long i = 0; i < length; ++i) {
        if (i % kRetuneEvery == 0) filter.tune(350.0 + 4200.0 * note.velocity * filterLevel, 0.45);
        const double v = kLevel * note.velocity * filter.process(square.next(hz)).low * amp.next();
        out.add(v * p.left, v * p.right);
        filterLevel *= sweep;
    }
}

// Saw and square a few cents apart, vibrato that sets in once a note is held.
void lead(const Note& note, Cursor& out, Noise& noise)
{
    constexpr double kRelease = 0.12, kFilterDecay = 0.25, kLevel = 0.22;
    constexpr double kVibratoHz = 5.3, kVibratoDepth = 0.16, kVibratoDelay = 0.18;
    constexpr double kSemitone = 0.057762265046662105;  // ln 2 / 12
    const double seconds = beatsToSeconds(note.beats);
    const long length = Envelope::duration(seconds, kRelease);
    const double hz = noteToHz(note.pitch);
    const long vibratoStart = samplesFor(kVibratoDelay);
    Envelope amp(0.006, 0.3, 0.75, kRelease, seconds);
    Saw saw(0.5 + 0.5 * noise.next());
    Square square(0.5 + 0.5 * noise.next());
    Sine vibrato;
    Filter left, right;
    const double sweep = decayFactor(kFilterDecay);
    double filterLevel = 1.0;
    for (long i = 0; i < length; ++i) {
        if (i % kRetuneEvery == 0) {
            const double cutoff = 1500.0 + 3200.0 * note.velocity * filterLevel;
            left.tune(cutoff, 0.3);
            right.tune(cutoff * 1.1, 0.3);
        }
        const double depth = i < vibratoStart ? 0.0 : std::min(1.0, static_cast<double>(i - vibratoStart) / 8000.0);
        // 2^(x/12) to second order: exact to a thousandth of a cent at this depth.
        const double x = kSemitone * kVibratoDepth * depth * vibrato.next(kVibratoHz);
        const double bend = 1.0 + x + 0.5 * x * x;
        const double s = saw.next(hz * bend * 1.003);
        const double q = square.next(hz * bend * 0.997);
        const double e = kLevel * note.velocity * amp.next();
        out.add(left.process(0.6 * s + 0.4 * q).low * e, right.process(0.4 * s + 0.6 * q).low * e);
        filterLevel *= sweep;
    }
}

}  // namespace

void StereoBuffer::clear()
{
    std::fill(left.begin(), left.end(), 0.0f);
    std::fill(right.begin(), right.end(), 0.0f);
}

void renderNote(const Note& note, std::uint64_t seed, StereoBuffer& out)
{
    Cursor cursor(out, note.beat);
    Noise noise(seed);
    switch (note.instrument) {
    case Instrument::Kick: kick(note, cursor, noise); break;
    case Instrument::Snare: snare(note, cursor, noise); break;
    case Instrument::ClosedHat: metal(note, cursor, noise, 0.12, 0.03, 7500.0, 0.35, 0.3, 0.11); break;
    case Instrument::OpenHat: metal(note, cursor, noise, 0.5, 0.16, 6500.0, -0.3, 0.5, 0.08); break;
    case Instrument::Crash: metal(note, cursor, noise, 3.0, 0.9, 4200.0, 0.0, 1.0, 0.16); break;
    case Instrument::Riser: riser(note, cursor, noise); break;
    case Instrument::Bass: bass(note, cursor, noise); break;
    case Instrument::Pad: pad(note, cursor, noise); break;
    case Instrument::Pluck: pluck(note, cursor, noise); break;
    case Instrument::Lead: lead(note, cursor, noise); break;
    }
}

}  // namespace synth
