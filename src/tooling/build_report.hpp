// A program build's reports as the person who edits the shaders reads them: each stage's
// reading and compiling, its tracks' block, and the link, as `file:line: message` findings with
// the line at fault quoted under them, from whatever form the driver words its log in
// (shader_log.hpp).
// demo-check and demo-live report through this one code, and through program_check.hpp.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "show/program_builder.hpp"

// What the checks found, in the order found.
struct Findings {
    struct Entry {
        bool problem;      // false: a warning, worth reading but no reason to fail
        std::string text;  // may span lines: the report, then the source line it points at
    };
    std::vector<Entry> entries;
    std::vector<std::string> passed;  // short descriptions of what was found to be fine

    void problem(std::string text) { entries.push_back({true, std::move(text)}); }
    void warning(std::string text) { entries.push_back({false, std::move(text)}); }
    int problemCount() const;
};

// Reports each entry of a driver's log against `where` (a file, or a program's two files
// when `source` is null), each message after `note`. Entries in a row about one line (Mesa
// lists a call's candidates that way) make one finding, with the source line quoted once under
// them. Returns whether any of them is a problem.
bool reportLog(const std::string& log, const std::string& where, const std::string* source, bool succeeded,
               Findings& findings, const std::string& note = "");

// Reports a stage's reading and compiling the first time its file comes up (programs share
// files: `reported` holds those reported, and gets this one), each message after `note`;
// returns whether it compiled.
bool reportStage(const StageBuild& stage, std::set<std::string>& reported, Findings& findings,
                 const std::string& note = "");

// Reads the tracks' block of a stage's text (show/tracks.hpp), reporting each problem at its
// line, the line quoted, the first time the stage's file comes up (`reported`, as
// reportStage); returns whether the block is fit to run: none, or one that reads whole.
bool reportTracks(const StageBuild& stage, std::set<std::string>& reported, Findings& findings);

// "PATH: cannot be read (REASON)" for a file that could not be opened or read.
std::string readFailure(const char* path, int error);
