// Reads, compiles and links one GPU program from a vertex and a fragment source file, and
// says what happened at each step without printing anything, so that each caller words it its
// own way: the demo's Shader prints its reports, demo-check turns the logs into file:line
// findings, and a live reload swaps a program in only when it built. The files are written
// for desktop OpenGL; for WebGL2 they are rewritten into GLSL ES as they are read.
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

// The GLSL dialect the files are compiled in.
enum class GlslDialect {
    Desktop,  // the files as they are
    Es300,    // as toEsGlsl rewrites them, for OpenGL ES 3.0 and WebGL2
};

// What the platform built for speaks: the web build's WebGL2 takes only GLSL ES.
#ifdef __EMSCRIPTEN__
inline constexpr GlslDialect kPlatformDialect = GlslDialect::Es300;
#else
inline constexpr GlslDialect kPlatformDialect = GlslDialect::Desktop;
#endif

// The source in GLSL ES 3.00, changed only where the two dialects differ: the version
// directive becomes "#version 300 es", followed by the default precision that ES asks of
// every fragment stage (high, as desktop GLSL computes), and a #line directive so that the
// driver's line numbers still name the file's own lines. A text without a version directive
// is returned as it is.
std::string toEsGlsl(const std::string& source);

// The driver's verdict on one step, compiling a stage or linking the program.
struct BuildStep {
    bool ok = false;
    std::string log;  // as BuildLogs asks: possibly empty, even on failure
};

struct StageBuild {
    const char* path = nullptr;
    bool read = false;   // false also for a file that was never tried
    int readError = 0;   // errno of a failed read; 0 when the file was not tried
    std::string source;  // the file's text, before any rewrite for the dialect: empty unless read
    BuildStep compile;
};

struct ProgramBuild {
    GLuint program = 0;  // always created, linked or not; the caller owns it
    StageBuild vertex;
    StageBuild fragment;
    BuildStep link;

    bool sourcesRead() const { return vertex.read && fragment.read; }
};

// Needs a current OpenGL 3.3 core context (or a WebGL2 one, for GlslDialect::Es300). Both
// stages are compiled and linked whatever failed before (an unread file compiles as an empty
// text), and the shader objects are released once linked.
ProgramBuild buildProgram(const char* vertexPath, const char* fragmentPath, BuildLogs logs,
                          GlslDialect dialect = kPlatformDialect);

// The verdict on one compiled shader or one linked program, collected as `logs` asks; an
// invalid name reads as a failure with an empty log.
BuildStep compileResult(GLuint shader, BuildLogs logs);
BuildStep linkResult(GLuint program, BuildLogs logs);
