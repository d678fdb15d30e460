// The tracks' block written from the keys, and the tracks evaluated; see tracks.hpp. The writer
// gives one text for one set of keys, which the reader (track_reader.cpp) holds a block against;
// the evaluation is the very arithmetic of the GLSL the writer writes, in single precision.
#include "show/tracks.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "show/track_text.hpp"

namespace trackText {

const char* const kBeginMarker =
    "// ---- tracks: the show's timing and animated values, kept by demo-live; edit them there, or by hand in this form";
const char* const kEndMarker = "// ---- end of tracks ----";
const char* const kEaseConstants[kEases] = {"TRACK_STEP", "TRACK_LINEAR", "TRACK_SMOOTH", "TRACK_EASE_IN",
                                                "TRACK_EASE_OUT"};

const char* const kPreamble = R"(// Before a track's first key its first value holds, after its last key the last; a key moves
// its value on to the next key's as its ease says. Keys snap to the tune's beats, heard in the
// demo at MUSIC_LAG + beat / BEATS_PER_SECOND seconds; the tune is built from this block too.
const int TRACK_STEP = 0;
const int TRACK_LINEAR = 1;
const int TRACK_SMOOTH = 2;
const int TRACK_EASE_IN = 3;
const int TRACK_EASE_OUT = 4;
float trackEase(int ease, float x)
{
    x = clamp(x, 0.0, 1.0);
    if (ease == TRACK_LINEAR)
        return x;
    if (ease == TRACK_SMOOTH)
        return x * x * (3.0 - 2.0 * x);
    if (ease == TRACK_EASE_IN)
        return x * x;
    if (ease == TRACK_EASE_OUT)
        return x * (2.0 - x);
    return 0.0;
}
)";

std::string upperName(const std::string& name)
{
    std::string upper;
    for (char c : name) {
        if (std::isupper(static_cast<unsigned char>(c)))
            upper += '_';
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper;
}

const char* typeName(int components)
{
    return components == 3 ? "vec3" : "float";
}

std::string number(float value)
{
    char text[32];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    std::string literal(text, written.ptr);
    if (literal.find_first_of(".e") == std::string::npos)
        literal += ".0";
    return literal;
}

std::string trackFunction(const std::string& name, int components)
{
    const std::string upper = upperName(name);
    const std::string type = typeName(components);
    return type + " " + name + "Track(float t, out float since)\n"
           "{\n"
           "    int k = 0;\n"
           "    for (int i = 1; i < " + upper + "_KEYS; i++)\n"
           "        if (t >= " + upper + "_TIMES[i])\n"
           "            k = i;\n"
           "    since = t - " + upper + "_TIMES[k];\n"
           "    if (k == " + upper + "_KEYS - 1)\n"
           "        return " + upper + "_VALUES[k];\n"
           "    float x = since / (" + upper + "_TIMES[k + 1] - " + upper + "_TIMES[k]);\n"
           "    return " + upper + "_VALUES[k] + (" + upper + "_VALUES[k + 1] - " + upper + "_VALUES[k]) * trackEase(" +
           upper + "_EASES[k], x);\n"
           "}\n";
}

}  // namespace trackText

namespace {

using namespace trackText;

constexpr const char* kEaseNames[kEases] = {"step", "linear", "smooth", "ease-in", "ease-out"};

std::string valueText(const TrackKey& key, int components)
{
    if (components == 1)
        return number(key.value[0]);
    return "vec3(" + number(key.value[0]) + ", " + number(key.value[1]) + ", " + number(key.value[2]) + ")";
}

template <typename Item>
std::string listOf(const std::vector<TrackKey>& keys, Item item)
{
    std::string text;
    for (const TrackKey& key : keys)
        text += (text.empty() ? "" : ", ") + item(key);
    return text;
}

std::string trackSource(const Track& track)
{
    const std::string upper = upperName(track.name);
    const std::string type = typeName(track.components);
    std::string text = "// " + track.name + " (" + type + ")\n";
    text += "const int " + upper + "_KEYS = " + std::to_string(track.keys.size()) + ";\n";
    text += "const float " + upper + "_TIMES[" + upper + "_KEYS] = float[](" +
            listOf(track.keys, [](const TrackKey& key) { return number(key.time); }) + ");\n";
    text += "const " + type + " " + upper + "_VALUES[" + upper + "_KEYS] = " + type + "[](" +
            listOf(track.keys, [&](const TrackKey& key) { return valueText(key, track.components); }) + ");\n";
    text += "const int " + upper + "_EASES[" + upper + "_KEYS] = int[](" +
            listOf(track.keys, [](const TrackKey& key) { return std::string(kEaseConstants[int(key.ease)]); }) + ");\n";
    return text + trackFunction(track.name, track.components);
}

}  // namespace

const char* easeName(Ease ease)
{
    return kEaseNames[int(ease)];
}

bool TrackKey::operator==(const TrackKey& other) const
{
    return time == other.time && value == other.value && ease == other.ease;
}

bool Track::operator==(const Track& other) const
{
    return name == other.name && components == other.components && keys == other.keys;
}

float BeatGrid::snap(float t) const
{
    return lag + std::round((t - lag) * beatsPerSecond) / beatsPerSecond;
}

bool BeatGrid::operator==(const BeatGrid& other) const
{
    return lag == other.lag && beatsPerSecond == other.beatsPerSecond && beatsPerBar == other.beatsPerBar;
}

const Track* TrackBlock::find(const std::string& name) const
{
    for (const Track& track : tracks)
        if (track.name == name)
            return &track;
    return nullptr;
}

bool TrackBlock::operator==(const TrackBlock& other) const
{
    return grid == other.grid && tracks == other.tracks;
}

std::string writeTrackBlock(const TrackBlock& block)
{
    std::string text = std::string(kBeginMarker) + "\n";
    text += "const float MUSIC_LAG = " + number(block.grid.lag) + ";\n";
    text += "const float BEATS_PER_SECOND = " + number(block.grid.beatsPerSecond) + ";\n";
    text += "const int BEATS_PER_BAR = " + std::to_string(block.grid.beatsPerBar) + ";\n";
    text += kPreamble;
    for (const Track& track : block.tracks)
        text += "\n" + trackSource(track);
    return text + kEndMarker + "\n";
}

std::string withTrackBlock(const std::string& text, const TrackSource& read, const TrackBlock& block)
{
    return text.substr(0, read.begin) + writeTrackBlock(block) + text.substr(read.end);
}

std::array<float, 3> evaluateTrack(const Track& track, float t, float* since)
{
    const std::vector<TrackKey>& keys = track.keys;
    std::size_t k = 0;
    for (std::size_t i = 1; i < keys.size(); ++i)
        if (t >= keys[i].time)
            k = i;
    const float after = t - keys[k].time;
    if (since != nullptr)
        *since = after;
    if (k + 1 == keys.size())
        return keys[k].value;
    const float x = std::clamp(after / (keys[k + 1].time - keys[k].time), 0.0f, 1.0f);
    float eased = 0.0f;
    switch (keys[k].ease) {
    case Ease::Step: eased = 0.0f; break;
    case Ease::Linear: eased = x; break;
    case Ease::Smooth: eased = x * x * (3.0f - 2.0f * x); break;
    case Ease::EaseIn: eased = x * x; break;
    case Ease::EaseOut: eased = x * (2.0f - x); break;
    }
    std::array<float, 3> value{};
    for (std::size_t c = 0; c < 3; ++c)
        value[c] = keys[k].value[c] + (keys[k + 1].value[c] - keys[k].value[c]) * eased;
    return value;
}
