// Scene programs checked against the interface the demo feeds them: the attributes each quad
// feeds and the uniforms the scenes set, with their GL types, as the data table says; and each
// program once more as the web build compiles it (GLSL ES 3.00). Findings are worded by
// build_report.hpp.
#pragma once

#include <glad/gl.h>

#include <map>
#include <set>
#include <string>

#include "show/program_builder.hpp"
#include "show/show_data.hpp"
#include "tooling/build_report.hpp"

// Made once, in a current OpenGL 3.3 core context: it builds both quads for a moment to learn
// what they feed.
class ProgramChecker {
public:
    ProgramChecker();

    // Reports a program built from `spec`'s files with BuildLogs::Whole: each stage's reading,
    // compiling and tracks' block, unless its file is in `reported` already (programs share
    // files; it is added), then the link, then for a linked program the attributes its quad
    // feeds and the uniforms the scenes set. Returns whether it is fit to draw with: linked, its
    // tracks whole, no problem.
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
