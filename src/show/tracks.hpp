// The show's tracks: named values over demo time, each given by keys that say its value at
// their time and how it moves on to the next key's (a step, linearly, smoothly, easing in or
// out). They live in the shader files themselves, in a block between two marker lines that
// holds each track's keys as GLSL constant arrays and the function that evaluates it: written
// from the keys here, read back here, and run by the demo as any other GLSL. Pure: no GL.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

// How a key's value moves on to the next key's.
enum class Ease { Step, Linear, Smooth, EaseIn, EaseOut };
inline constexpr int kEases = 5;
// The names the block and the studio give them, in Ease's order.
const char* easeName(Ease ease);

struct TrackKey {
    float time = 0.0f;                    // seconds of demo time
    std::array<float, 3> value{};         // a float track's in [0]
    Ease ease = Ease::Step;               // towards the next key
    bool operator==(const TrackKey& other) const;
};

struct Track {
    std::string name;                     // a GLSL name in lower camel case: "fade", "coreSize"
    int components = 1;                   // 1: a float, 3: a vec3
    std::vector<TrackKey> keys;           // in time order; keys at one time make a jump
    bool operator==(const Track& other) const;
};

// The tune's beat grid, which keys snap to and the tune is built on: beat n is heard in the
// demo at lag + n / beatsPerSecond seconds.
struct BeatGrid {
    float lag = 0.0f;
    float beatsPerSecond = 2.0f;
    int beatsPerBar = 4;
    // The time of the beat nearest to t.
    float snap(float t) const;
    bool operator==(const BeatGrid& other) const;
};

struct TrackBlock {
    BeatGrid grid;
    std::vector<Track> tracks;
    const Track* find(const std::string& name) const;
    bool operator==(const TrackBlock& other) const;
};

// What the show's demo time may be: keys lie within it.
inline constexpr float kTrackTimeLimit = 109.0f;

// A shader's text read for its block.
struct TrackSource {
    bool found = false;                   // the text has a block (with both markers)
    TrackBlock block;                     // as read; valid when found and problems is empty
    std::size_t begin = 0;                // the block's first byte (its first marker's line)
    std::size_t end = 0;                  // one past its last byte (the end marker's newline)
    struct Problem {
        int line;                         // 1-based, in the whole text
        std::string message;
    };
    std::vector<Problem> problems;        // what makes the block unfit, each at its line
};

// Reads the block of a shader's text: the grid, each track's keys, and that the functions and
// the rest of the block are as writeTrackBlock would write them for those keys, the keys in time
// order within 0 to kTrackTimeLimit.
TrackSource readTracks(const std::string& text);

// The block's text for its keys: the markers, the grid, and for each track its arrays and its
// evaluation function, "float NAMETrack(float t, out float since)" (vec3 for a vec3 track),
// which gives the value at t and the seconds since its key.
std::string writeTrackBlock(const TrackBlock& block);

// The text with its block written anew from `block`, every byte outside it kept; the text of
// `read`, which must have found a block.
std::string withTrackBlock(const std::string& text, const TrackSource& read, const TrackBlock& block);

// The track's value at t and the seconds since the key it stands on, by the very arithmetic of
// the GLSL the block holds, in single precision.
std::array<float, 3> evaluateTrack(const Track& track, float t, float* since = nullptr);
