// The checks behind demo-check: the scene programs built from their files as the demo builds
// them (and as the web build does), their interface to the quads and uniforms the demo feeds them, the picture through the
// demo's own texture loader and the tune through the music's own reader. Findings and the
// wording of each are the shared diagnostics'.
#pragma once

#include "tooling/program_check.hpp"

// Each needs a current OpenGL 3.3 core context and reads the demo's fixed paths relative to
// the working directory.
void checkPrograms(Findings& findings);
void checkPicture(Findings& findings);
void checkTune(Findings& findings);
