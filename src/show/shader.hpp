// One linked GPU program built from a vertex and a fragment source file. Construction does
// the whole job and reports file, compile and link failures on standard output; a failed
// build still leaves a program name, so the show goes on with whatever resulted.
#pragma once

#include <glad/gl.h>

class Shader {
public:
    Shader(const char* vertexPath, const char* fragmentPath);
    // Holds a program built and checked elsewhere (demo-live builds its own).
    explicit Shader(GLuint program) : programId(program) {}

    GLuint programId = 0;
};
