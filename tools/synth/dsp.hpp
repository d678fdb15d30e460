// The synthesizer's building blocks: a seeded noise source, band-limited oscillators, a
// state-variable filter and the tuning. Plain double arithmetic throughout, so the same
// score renders to the same bytes on every run.
#pragma once

#include <cmath>
#include <cstdint>

namespace synth {

constexpr double kSampleRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kSamplePeriod = 1.0 / kSampleRate;  // multiplied by, since a division per sample is slow

// A4 = 440 Hz is MIDI note 69; twelve equal steps to the octave.
inline double noteToHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// splitmix64: tiny, fast and fully specified, unlike the standard library's distributions.
class Noise {
public:
    explicit Noise(std::uint64_t seed) : state_(seed) {}

    // Uniform in [-1, 1).
    double next()
    {
        state_ += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) * (2.0 / 9007199254740992.0) - 1.0;
    }

private:
    std::uint64_t state_;
};

// Smooths the waveform's jump over one sample, which keeps aliasing of the bright
// oscillators below hearing.
inline double blepCorrection(double phase, double increment)
{
    if (phase < increment) {
        const double t = phase / increment;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - increment) {
        const double t = (phase - 1.0) / increment;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// Sawtooth in [-1, 1]; the phase is a fraction of a cycle.
class Saw {
public:
    explicit Saw(double startPhase = 0.0) : phase_(startPhase) {}

    double next(double hz)
    {
        const double increment = hz * kSamplePeriod;
        const double value = 2.0 * phase_ - 1.0 - blepCorrection(phase_, increment);
        phase_ += increment;
        if (phase_ >= 1.0) phase_ -= 1.0;
        return value;
    }

private:
    double phase_;
};

// Square wave in [-1, 1], built from two saws half a cycle apart.
class Square {
public:
    explicit Square(double startPhase = 0.0) : phase_(startPhase) {}

    double next(double hz)
    {
        const double increment = hz * kSamplePeriod;
        double shifted = phase_ + 0.5;
        if (shifted >= 1.0) shifted -= 1.0;
        double value = phase_ < 0.5 ? 1.0 : -1.0;
        value += blepCorrection(phase_, increment);
        value -= blepCorrection(shifted, increment);
        phase_ += increment;
        if (phase_ >= 1.0) phase_ -= 1.0;
        return value;
    }

private:
    double phase_;
};

// sin(2 pi turns) from a polynomial: odd Taylor terms to the 11th power on a quarter wave,
// under a millionth off. Cheaper than the library's sine and the same on every machine.
inline double sineOfTurns(double turns)
{
    double x = turns - std::floor(turns + 0.5);       // [-0.5, 0.5)
    if (x > 0.25) x = 0.5 - x;                        // fold onto [-0.25, 0.25]
    else if (x < -0.25) x = -0.5 - x;
    const double r = 2.0 * kPi * x;
    const double r2 = r * r;
    return r * (1.0 + r2 * (-1.0 / 6 + r2 * (1.0 / 120 + r2 * (-1.0 / 5040 + r2 * (1.0 / 362880 + r2 * (-1.0 / 39916800))))));
}

// Smooth saturation shaped like tanh, without its cost: a Pade approximant clamped where it
// reaches one.
inline double saturate(double x)
{
    constexpr double kLimit = 3.0;
    if (x >= kLimit) return 1.0;
    if (x <= -kLimit) return -1.0;
    const double x2 = x * x;
    return x * (27.0 + x2) / (27.0 + 9.0 * x2);
}

// Sine with a phase accumulator, for the pitch-swept kick, the bass's sub and vibrato.
class Sine {
public:
    double next(double hz)
    {
        const double value = sineOfTurns(phase_);
        phase_ += hz * kSamplePeriod;
        if (phase_ >= 1.0) phase_ -= 1.0;
        return value;
    }

private:
    double phase_ = 0.0;
};

// Trapezoidal state-variable filter: stable under fast cutoff sweeps, which the plucks and
// risers rely on. One call gives all three responses.
class Filter {
public:
    struct Out {
        double low, band, high;
    };

    void tune(double cutoffHz, double resonance)
    {
        const double nyquistGuard = 0.45 * kSampleRate;
        const double hz = cutoffHz < 20.0 ? 20.0 : (cutoffHz > nyquistGuard ? nyquistGuard : cutoffHz);
        g_ = std::tan(kPi * hz / kSampleRate);
        k_ = 2.0 - 2.0 * resonance;
        a1_ = 1.0 / (1.0 + g_ * (g_ + k_));
        a2_ = g_ * a1_;
        a3_ = g_ * a2_;
    }

    Out process(double in)
    {
        const double v3 = in - ic2_;
        const double v1 = a1_ * ic1_ + a2_ * v3;
        const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
        ic1_ = 2.0 * v1 - ic1_;
        ic2_ = 2.0 * v2 - ic2_;
        return {v2, v1, in - k_ * v1 - v2};
    }

private:
    double g_ = 0.0, k_ = 2.0, a1_ = 0.0, a2_ = 0.0, a3_ = 0.0;
    double ic1_ = 0.0, ic2_ = 0.0;
};

// Per-sample multiplier that shrinks a value by e over `seconds`: exponential decays without
// calling exp() for every sample.
inline double decayFactor(double seconds) { return std::exp(-1.0 / (seconds * kSampleRate)); }

// Linear attack, exponential decay to a sustain level, exponential release after the note's
// length. The release also ramps linearly to zero over `kReleaseSpans` time constants, so a
// voice ends on silence exactly where it stops being rendered.
class Envelope {
public:
    static constexpr double kReleaseSpans = 4.0;

    Envelope(double attack, double decay, double sustain, double release, double length)
        : attackStep_(1.0 / (attack * kSampleRate)), decay_(decayFactor(decay)),
          sustain_(sustain), release_(decayFactor(release)),
          releaseStep_(1.0 / (kReleaseSpans * release * kSampleRate)),
          holdSamples_(static_cast<long>(length * kSampleRate))
    {
    }

    // Samples the voice needs before it is silent.
    static long duration(double length, double release)
    {
        return static_cast<long>((length + kReleaseSpans * release) * kSampleRate) + 1;
    }

    double next()
    {
        if (sample_ < holdSamples_) {
            if (attacking_) {
                level_ += attackStep_;
                if (level_ >= 1.0) {
                    level_ = 1.0;
                    attacking_ = false;
                }
            } else {
                level_ = sustain_ + (level_ - sustain_) * decay_;
            }
        } else {
            level_ *= release_;
            fade_ = fade_ > releaseStep_ ? fade_ - releaseStep_ : 0.0;
        }
        ++sample_;
        return level_ * fade_;
    }

private:
    double attackStep_, decay_, sustain_, release_, releaseStep_;
    long holdSamples_;
    long sample_ = 0;
    double level_ = 0.0;
    double fade_ = 1.0;
    bool attacking_ = true;
};

// Equal-power pan, -1 left to +1 right.
struct Pan {
    double left, right;
};
inline Pan pan(double position)
{
    const double angle = (position + 1.0) * 0.25 * kPi;
    return {std::cos(angle), std::sin(angle)};
}

}  // namespace synth
