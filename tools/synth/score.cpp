// The soundtrack's score: chords, drum and bass patterns and the melody, written as text a
// musician can read, and the arrangement that lays them over the demo's 52 bars, its kit and
// cuts where the show's cue sheet puts them. The chord track drives the bass, pad and pluck,
// so a section is re-harmonised by changing one line.
#include "score.hpp"

#include <cctype>
#include <cstring>
#include <initializer_list>
#include <stdexcept>
#include <string>

#include "cues.hpp"

namespace synth {
namespace {

// ---- Notation ---------------------------------------------------------------------------

// Drum and pluck patterns: one character a sixteenth, a bar to a line.
// Drums: '.' rest, 'g' ghost, 'x' hit, 'X' accent.
constexpr double kGhost = 0.35;
constexpr double kHit = 0.7;
constexpr double kAccent = 1.0;

// Where each voice sits: the lowest MIDI note its chord roots may take.
constexpr int kBassFloor = 38;   // D2
constexpr int kPadFloor = 53;    // F3: close voicings that move by step from chord to chord
constexpr int kPluckFloor = 57;  // A3

struct Chord {
    int root;  // pitch class, C = 0
    bool minor;
};

int pitchClass(char letter)
{
    static const int kNaturals[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (letter < 'A' || letter > 'G') throw std::invalid_argument(std::string("not a note: ") + letter);
    return kNaturals[letter - 'A'];
}

// "Dm", "Bb", "F#m": root, optional accidental, optional 'm' for minor.
Chord parseChord(const std::string& name)
{
    std::size_t i = 0;
    int root = pitchClass(name.at(i++));
    if (i < name.size() && name[i] == 'b') root += 11, ++i;
    if (i < name.size() && name[i] == '#') root += 1, ++i;
    const bool minor = i < name.size() && name[i] == 'm';
    if (minor) ++i;
    if (i != name.size()) throw std::invalid_argument("not a chord: " + name);
    return {root % 12, minor};
}

// The lowest note of pitch class `pc` at or above `floor`.
int placeAbove(int pc, int floor) { return floor + ((pc - floor) % 12 + 12) % 12; }

std::vector<std::string> words(const char* text)
{
    std::vector<std::string> out;
    std::string word;
    for (const char* c = text; ; ++c) {
        if (*c == '\0' || std::isspace(static_cast<unsigned char>(*c))) {
            if (!word.empty()) out.push_back(word);
            word.clear();
            if (*c == '\0') return out;
        } else {
            word += *c;
        }
    }
}

// A drum pattern's velocity for one of its characters: 0 for a rest.
double drumVelocity(const char* pattern, char c)
{
    const double velocity = c == '.' ? 0.0 : c == 'g' ? kGhost : c == 'x' ? kHit : c == 'X' ? kAccent : -1.0;
    if (velocity < 0.0) throw std::invalid_argument(std::string("not a drum hit: ") + pattern);
    return velocity;
}

void requireBar(const char* pattern)
{
    if (std::strlen(pattern) != kStepsPerBar)
        throw std::invalid_argument(std::string("a bar has sixteen steps: ") + pattern);
}

// ---- Patterns ---------------------------------------------------------------------------

// The kit.
const char* const kFourOnFloor   = "X...X...X...X...";
const char* const kOutroKick     = "X.......X.......";
const char* const kBackbeat      = "....X.......X...";
const char* const kBackbeatFill  = "....X.......X.xX";
const char* const kRollIntoBar   = "........gxgxxXXX";  // the second half of a bar, into the next
// A riser's noise sweeps up over the half bar before a cut.
constexpr int kRiserSteps = 8;
const char* const kHatsTicking   = "..x...x...x...x.";
const char* const kHatsDriving   = "gxXxgxXxgxXxgxXg";
const char* const kOpenOffbeats  = "..x...x...x...x.";

// Bass: 'r' root, 'f' fifth, 'o' octave, '-' holds the note before, '.' rest.
const char* const kBassHeld  = "r---------------";
const char* const kBassPulse = "r.r.o.r.r.r.o.r.";
const char* const kBassDrive = "r.rro.rrr.rro.fo";

// Pluck: a digit picks a step of the chord's ladder (root, third, fifth, octave, tenth,
// twelfth); '.' rest.
const char* const kPluckRolling = "0241024102410243";
const char* const kPluckSparse  = "0.4.2.5.3.4.2.1.";

// Harmony, a chord a bar: minor-key anthem turning on the major dominant, so the A at the
// end of each phrase (and of the whole tune) pulls back to D minor.
const char* const kIntroChords = "Dm Bb F Gm A";
const char* const kVerseChords = "Dm Bb F C Dm Bb Gm A";

// Melody, a bar to a line: note and octave, '/' length in sixteenths; '.' is a rest.
const std::initializer_list<const char*> kThemeA = {
    "D5/3 F5/3 A5/2 G5/2 F5/2 E5/2 F5/2",
    "D5/6 ./2 F5/2 D5/2 Bb4/2 C5/2",
    "C5/3 F5/3 A5/2 C6/4 A5/2 G5/2",
    "G5/6 E5/2 C5/4 ./2 E5/2",
    "D5/3 F5/3 A5/2 D6/4 C6/2 A5/2",
    "Bb5/3 A5/3 F5/2 D5/6 ./2",
    "G5/3 Bb5/3 D6/2 C6/2 Bb5/2 A5/2 G5/2",
    "A5/6 E5/2 C#5/4 E5/2 G5/2",
};
const std::initializer_list<const char*> kThemeB = {
    "F5/2 A5/2 D6/2 A5/2 F5/2 A5/2 D6/2 E6/2",
    "F6/6 E6/2 D6/4 Bb5/4",
    "A5/2 C6/2 F6/2 C6/2 A5/2 C6/2 F6/2 G6/2",
    "E6/8 D6/4 C6/4",
    "D6/3 C6/3 A5/2 F5/4 A5/4",
    "Bb5/3 A5/3 F5/2 D6/8",
    "D6/3 Bb5/3 G5/2 Bb5/2 D6/2 G6/4",
    "E6/6 C#6/2 A5/4 E5/4",
};
const std::initializer_list<const char*> kBreakLine = {
    "D6/6 C6/2 Bb5/4 A5/4",
    "A5/8 ./8",
};
const std::initializer_list<const char*> kOutroLine = {
    "D5/3 F5/3 A5/2 D6/4 C6/2 A5/2",
    "Bb5/3 A5/3 F5/2 D5/6 ./2",
    "C5/3 F5/3 A5/2 C6/4 A5/2 G5/2",
    "G5/3 Bb5/3 D6/2 C6/2 Bb5/2 A5/2 G5/2",
    "A5/16",
};

// ---- The arranger -----------------------------------------------------------------------

class Arranger {
public:
    explicit Arranger(int bars) : chords_(static_cast<std::size_t>(bars), Chord{2, true}) { score_.bars = bars; }

    // One chord a bar from `firstBar` on.
    void chords(int firstBar, const char* names)
    {
        int bar = firstBar;
        for (const std::string& name : words(names)) chords_.at(static_cast<std::size_t>(bar++)) = parseChord(name);
    }

    void drums(Instrument drum, int firstBar, int bars, const char* pattern)
    {
        requireBar(pattern);
        for (int bar = firstBar; bar < firstBar + bars; ++bar)
            for (int step = 0; step < kStepsPerBar; ++step)
                hit(drum, bar * kStepsPerBar + step, pattern, step);
    }

    void bass(int firstBar, int bars, const char* pattern, double velocity)
    {
        requireBar(pattern);
        for (int bar = firstBar; bar < firstBar + bars; ++bar) {
            const int root = placeAbove(chordAt(bar).root, kBassFloor);
            for (int step = 0; step < kStepsPerBar; ++step) {
                const char c = pattern[step];
                if (c == '.' || c == '-') continue;
                const int pitch = c == 'r' ? root : c == 'f' ? root + 7 : c == 'o' ? root + 12 : -1;
                if (pitch < 0) throw std::invalid_argument(std::string("not a bass step: ") + pattern);
                int length = 1;
                while (step + length < kStepsPerBar && pattern[step + length] == '-') ++length;
                add(Instrument::Bass, bar, step, length, pitch, velocity);
            }
        }
    }

    // Sustained chords in close position; `brightness` opens the pad's filter.
    void pad(int firstBar, int bars, double brightness)
    {
        for (int bar = firstBar; bar < firstBar + bars; ++bar) {
            const Chord chord = chordAt(bar);
            const int tones[] = {chord.root, chord.root + (chord.minor ? 3 : 4), chord.root + 7};
            for (int tone : tones) add(Instrument::Pad, bar, 0, kStepsPerBar, placeAbove(tone % 12, kPadFloor), brightness);
        }
    }

    void pluck(int firstBar, int bars, const char* pattern, double velocity)
    {
        requireBar(pattern);
        for (int bar = firstBar; bar < firstBar + bars; ++bar) {
            const Chord chord = chordAt(bar);
            const int root = placeAbove(chord.root, kPluckFloor);
            const int third = chord.minor ? 3 : 4;
            const int ladder[] = {0, third, 7, 12, 12 + third, 19};
            for (int step = 0; step < kStepsPerBar; ++step) {
                const char c = pattern[step];
                if (c == '.') continue;
                if (c < '0' || c > '5') throw std::invalid_argument(std::string("not a pluck step: ") + pattern);
                add(Instrument::Pluck, bar, step, 1, root + ladder[c - '0'], velocity);
            }
        }
    }

    // A line of melody, one string a bar; `transpose` in semitones (for octave doubling).
    void lead(int firstBar, std::initializer_list<const char*> bars, int transpose, double velocity)
    {
        int bar = firstBar;
        for (const char* line : bars) {
            int step = 0;
            for (const std::string& word : words(line)) {
                const std::size_t slash = word.find('/');
                if (slash == std::string::npos) throw std::invalid_argument("no length in: " + word);
                const int length = std::stoi(word.substr(slash + 1));
                if (word[0] != '.') add(Instrument::Lead, bar, step, length, parsePitch(word.substr(0, slash)) + transpose, velocity);
                step += length;
            }
            if (step != kStepsPerBar) throw std::invalid_argument(std::string("bar is not sixteen steps: ") + line);
            ++bar;
        }
    }

    // The show's structure from its cue sheet: the kick and the backbeat wherever the kit plays;
    // in the bar before each cut a fill where the kit plays every beat, or a roll where it is
    // silent; a riser into each cut where the kit comes in or steps up; a crash on each cut
    // that has one.
    void structure(const Cues& cues)
    {
        const int end = score_.bars * kStepsPerBar;
        const auto before = [&](int step) {  // the bar before a cut, in steps
            for (int cut : cues.cuts)
                if (step >= cut - kStepsPerBar && step < cut)
                    return cut;
            return -1;
        };
        for (int step = 0; step < end; ++step) {
            const int kit = cues.kitAt(step);
            if (kit != 0)
                hit(Instrument::Kick, step, kit == 1 ? kFourOnFloor : kOutroKick, step % kStepsPerBar);
            const int cut = before(step);
            const int leadIn = cut < 0 ? 0 : cues.kitAt(cut - 1);
            if (cut >= 0 && leadIn != 2)
                hit(Instrument::Snare, step, leadIn == 1 ? kBackbeatFill : kRollIntoBar, step - cut + kStepsPerBar);
            else if (kit != 0)
                hit(Instrument::Snare, step, kBackbeat, step % kStepsPerBar);
        }
        for (int cut : cues.cuts)
            if (cut >= kRiserSteps && cues.kitAt(cut) > cues.kitAt(cut - 1))
                addAt(Instrument::Riser, cut - kRiserSteps, kRiserSteps, 0, 1.0);
        for (int crash : cues.crashes)
            addAt(Instrument::Crash, crash, kStepsPerBar, 0, 1.0);
    }

    Score take() { return std::move(score_); }

private:
    Chord chordAt(int bar) const { return chords_.at(static_cast<std::size_t>(bar)); }

    // "C#5", "Bb4": letter, optional accidental, octave (C4 = 60).
    static int parsePitch(const std::string& name)
    {
        std::size_t i = 0;
        int pc = pitchClass(name.at(i++));
        if (name.at(i) == '#') ++pc, ++i;
        else if (name.at(i) == 'b') --pc, ++i;
        if (i + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[i])))
            throw std::invalid_argument("not a pitch: " + name);
        return pc + 12 * (name[i] - '0' + 1);
    }

    void add(Instrument instrument, int bar, int step, int steps, int pitch, double velocity)
    {
        addAt(instrument, bar * kStepsPerBar + step, steps, pitch, velocity);
    }

    void addAt(Instrument instrument, int step, int steps, int pitch, double velocity)
    {
        if (step < 0 || step >= score_.bars * kStepsPerBar) throw std::invalid_argument("note outside the tune");
        score_.notes.push_back({instrument, static_cast<double>(step) / kStepsPerBeat,
                                static_cast<double>(steps) / kStepsPerBeat, pitch, velocity});
    }

    // The hit a bar's drum pattern has at `step` of it, if any, placed at the tune's `at`.
    void hit(Instrument drum, int at, const char* pattern, int step)
    {
        requireBar(pattern);
        const double velocity = drumVelocity(pattern, pattern[step]);
        if (velocity > 0.0)
            addAt(drum, at, 1, 0, velocity);
    }

    std::vector<Chord> chords_;
    Score score_;
};

}  // namespace

Score demoTune(const Cues& cues)
{
    using I = Instrument;
    constexpr int kBars = 52;  // 104 s: the 109 s show hears the top of the tune again
    Arranger a(kBars);
    // The kit, the fills and rolls into the cuts, the risers and the crashes, where the show's
    // cue sheet puts them: the picture cuts by the same keys.
    a.structure(cues);

    // Intro under the picture (bars 0-4, 0-10 s): the pad alone, then the pluck and ticking
    // hats. The black second at 9 s is the second half of bar 4: a riser and a snare roll.
    a.chords(0, kIntroChords);
    a.pad(0, 5, 0.45);
    a.pluck(1, 4, kPluckSparse, 0.45);
    a.drums(I::ClosedHat, 2, 3, kHatsTicking);
    a.bass(3, 2, kBassHeld, 0.7);

    // The lift at 10 s (bars 5-12), as the first full-screen scene starts: the kit and the
    // pulsing bass come in under a rolling pluck. From here to the outro the picture cuts to a
    // new shot or section every four or eight bars: a fill leads into each cut, a crash lands
    // on it.
    a.chords(5, kVerseChords);
    a.drums(I::ClosedHat, 5, 16, kHatsDriving);
    a.drums(I::OpenHat, 13, 8, kOpenOffbeats);
    a.bass(5, 16, kBassPulse, 0.85);
    a.pad(5, 16, 0.65);
    a.pluck(5, 16, kPluckRolling, 0.6);

    // The theme's first statement (bars 13-20).
    a.chords(13, kVerseChords);
    a.lead(13, kThemeA, 0, 0.85);

    // The break at the second black gap (bars 21-22, 42-46 s): the kit and bass drop out,
    // the pad and lead hang on the dominant, a roll and a riser fill the gap at 45 s.
    a.chords(21, "Bb A");
    a.pad(21, 2, 0.5);
    a.pluck(21, 1, kPluckSparse, 0.4);
    a.drums(I::ClosedHat, 21, 1, kHatsTicking);
    a.lead(21, kBreakLine, 0, 0.7);

    // The main theme through the last scene (bars 23-46, from 46 s): twice, the second time
    // doubled an octave down, then a brighter variation over driving bass, and a riser into
    // the outro's crash at bar 47, where the picture's climax starts.
    a.chords(23, kVerseChords);
    a.chords(31, kVerseChords);
    a.chords(39, kVerseChords);
    a.drums(I::ClosedHat, 23, 24, kHatsDriving);
    a.drums(I::OpenHat, 23, 24, kOpenOffbeats);
    a.bass(23, 16, kBassPulse, 0.9);
    a.bass(39, 8, kBassDrive, 0.95);
    a.pad(23, 24, 0.8);
    a.pluck(23, 24, kPluckRolling, 0.55);
    a.lead(23, kThemeA, 0, 0.9);
    a.lead(31, kThemeA, 0, 0.9);
    a.lead(31, kThemeA, -12, 0.55);
    a.lead(39, kThemeB, 0, 0.95);
    a.lead(39, kThemeB, -12, 0.55);

    // Outro (bars 47-51): the kit thins out, the theme's last phrase and a held A on the
    // dominant lead back into the intro's D minor.
    a.chords(47, kIntroChords);
    a.drums(I::ClosedHat, 47, 4, kHatsTicking);
    a.bass(47, 3, kBassPulse, 0.7);
    a.bass(50, 2, kBassHeld, 0.6);
    a.pad(47, 5, 0.55);
    a.pluck(47, 5, kPluckSparse, 0.45);
    a.lead(47, kOutroLine, 0, 0.75);
    return a.take();
}

}  // namespace synth
