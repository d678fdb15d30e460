// The tracks' block as the writer words it, shared by the writer (tracks.cpp) and the reader
// (track_reader.cpp), which holds each line of a block against what the writer would put there.
// For those two files alone.
#pragma once

#include <string>

#include "show/tracks.hpp"

namespace trackText {

extern const char* const kBeginMarker;
extern const char* const kEndMarker;
extern const char* const kEaseConstants[kEases];
// What every block holds after its grid: the eases' names and arithmetic.
extern const char* const kPreamble;

// "coreSize" -> "CORE_SIZE": the prefix of a track's arrays.
std::string upperName(const std::string& name);
const char* typeName(int components);
// The shortest text that reads back as the same float, as a GLSL float literal.
std::string number(float value);
// The function that evaluates a track of `components` named `name`.
std::string trackFunction(const std::string& name, int components);

}  // namespace trackText
