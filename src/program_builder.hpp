// Reads, compiles and links one GPU program from a vertex and a fragment source file, and
// says what happened at each step without printing anything, so that each caller words it its
// own way: the demo's Shader prints its reports, demo-check turns the logs into file:line
// findings, and a live reload swaps a program in only when it built.
#pragma once

#include <glad/gl.h>

#include <string>

// How much of the driver's word to collect.
enum class BuildLogs {
    // The demo's way: a status query after each step and, only when it failed, the log cut to
    // 1023 characters; the sources are read all or nothing (the fragment file is not tried once
    // the vertex file failed, and both texts stay empty when either did).
    Demo,
    // Diagnostics: every log whole, warnings too, and each file read on its own, so that one
    // unreadable file does not hide the other's faults.
    Whole,
};

// The driver's verdict on one step, compiling a stage or linking the program.
struct BuildStep {
    bool ok = false;
    std::string log;  // as BuildLogs asks: possibly empty, even on failure
};

struct StageBuild {
    const char* path = nullptr;
    bool read = false;   // false also for a file that was never tried
    int readError = 0;   // errno of a failed read; 0 when the file was not tried
    std::string source;  // what went to the compiler: empty unless read
    BuildStep compile;
};

struct ProgramBuild {
    GLuint program = 0;  // always created, linked or not; the caller owns it
    StageBuild vertex;
    StageBuild fragment;
    BuildStep link;

    bool sourcesRead() const { return vertex.read && fragment.read; }
};

// Needs a current OpenGL 3.3 core context. Both stages are compiled and linked whatever
// failed before (an unread file compiles as an empty text), and the shader objects are
// released once linked.
ProgramBuild buildProgram(const char* vertexPath, const char* fragmentPath, BuildLogs logs);

// The verdict on one compiled shader or one linked program, collected as `logs` asks; an
// invalid name reads as a failure with an empty log.
BuildStep compileResult(GLuint shader, BuildLogs logs);
BuildStep linkResult(GLuint program, BuildLogs logs);
