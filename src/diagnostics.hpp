// What is wrong with the show's data, in words for the person who edits it: a scene program
// checked against its row of the data table (each stage's file and line, with the line quoted,
// then the attributes and uniforms the demo feeds it), and the picture and tune as the demo's
// readers take them; and a program as the web build compiles it. demo-check and demo-live report
// through this one code.
#pragma once

#include <glad/gl.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "program_builder.hpp"
#include "show_data.hpp"

class LoopedWav;
struct Picture;

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

// Checks scene programs against the interface the demo feeds them. Made once, in a current
// OpenGL 3.3 core context: it builds both quads for a moment to learn what they feed.
class ProgramChecker {
public:
    ProgramChecker();

    // Reports a program built from `spec`'s files with BuildLogs::Whole: each stage's reading
    // and compiling, unless its file is in `reported` already (programs share files; it is
    // added), then the link, then for a linked program the attributes its quad feeds and the
    // uniforms the scenes set. Returns whether it is fit to draw with: linked, no problem.
    bool check(const ProgramBuild& build, const ProgramSpec& spec, std::set<std::string>& reported,
               Findings& findings) const;

    // Attribute location to component count, as a quad's vertex array feeds them.
    using FedLocations = std::map<GLint, GLint>;

private:
    FedLocations screenFed_;
    FedLocations texturedFed_;
};

// Whether the current context's driver compiles GLSL ES 3.00 beside desktop GLSL
// (GL_ARB_ES3_compatibility), as checkAsEs needs.
bool compilesEsGlsl();

// The program of `spec` once more as the web build compiles it (GLSL ES 3.00, see toEsGlsl),
// after `desktop`, its build as the demo's: for stages and a link that built for the demo it
// reports, once per file (`reported`), only what the rewrite breaks, such as an implicit
// int-to-float conversion, each finding marked as the web build's.
void checkAsEs(const ProgramBuild& desktop, const ProgramSpec& spec, std::set<std::string>& reported,
               Findings& findings);

// "PATH: cannot be read (REASON)" for a file that could not be opened or read.
std::string readFailure(const char* path, int error);

// "WIDTHxHEIGHT with N channels".
std::string pictureSize(const Picture& picture);

// Why the demo could not show the picture read from kImagePath (the reader's refusal, or a size
// the current context's driver can't take); empty when it can.
std::string pictureProblem(const Picture& picture);

// Why the demo could not play the tune read from kTunePath (not a WAV it plays, or no audio
// from its start); empty when it can. Reads from where the reader stands.
std::string tuneProblem(LoopedWav& tune);
