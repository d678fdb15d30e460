// The checks behind demo-check: the scene programs built from their files as the demo builds
// them, their interface to the quads and uniforms the demo feeds them, the picture through the
// demo's own texture loader and the tune through the music's own reader.
#pragma once

#include <string>
#include <vector>

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

// Each needs a current OpenGL 3.3 core context and reads the demo's fixed paths relative to
// the working directory.
void checkPrograms(Findings& findings);
void checkPicture(Findings& findings);
void checkTune(Findings& findings);
