// Builds a program from its two source files; see program_builder.hpp. The files are read
// with the stream library set to throw, so that a file that opens but cannot be read (a
// directory) fails like a missing one rather than passing on an empty text.
#include "program_builder.hpp"

#include <cerrno>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

// The demo shows this much of a log, terminating NUL included.
constexpr GLsizei kDemoLogSize = 1024;

// Runs one step of reading on `stage`'s file; a failure is put down to that file.
template <typename Step>
bool attempt(StageBuild& stage, Step step)
{
    errno = 0;
    try {
        step();
        return true;
    } catch (const std::ios_base::failure&) {
        stage.readError = errno != 0 ? errno : EIO;
        return false;
    }
}

// The whole file, or a failure, from a stream that throws on failbit and badbit.
void readInto(std::ifstream& file, std::string& text)
{
    std::stringstream copy;
    // The copy swallows a read error and would pass on an empty text; peeking first lets
    // the file's own stream throw it.
    file.peek();
    copy << file.rdbuf();
    text = copy.str();
}

std::ifstream throwingStream()
{
    std::ifstream file;
    file.exceptions(std::ifstream::failbit | std::ifstream::badbit);
    return file;
}

// The demo's order: open both, read both, close both; the first failure ends it and leaves
// both texts empty.
void readBoth(StageBuild& vertex, StageBuild& fragment)
{
    std::ifstream vertexFile = throwingStream();
    std::ifstream fragmentFile = throwingStream();
    std::string vertexText;
    std::string fragmentText;
    const bool read = attempt(vertex, [&] { vertexFile.open(vertex.path); })
        && attempt(fragment, [&] { fragmentFile.open(fragment.path); })
        && attempt(vertex, [&] { readInto(vertexFile, vertexText); })
        && attempt(fragment, [&] { readInto(fragmentFile, fragmentText); })
        && attempt(vertex, [&] { vertexFile.close(); })
        && attempt(fragment, [&] { fragmentFile.close(); });
    if (!read)
        return;
    vertex.read = fragment.read = true;
    vertex.source = std::move(vertexText);
    fragment.source = std::move(fragmentText);
}

void readAlone(StageBuild& stage)
{
    std::ifstream file = throwingStream();
    std::string text;
    stage.read = attempt(stage, [&] {
        file.open(stage.path);
        readInto(file, text);
        file.close();
    });
    if (stage.read)
        stage.source = std::move(text);
}

GLuint compile(GLenum type, StageBuild& stage, BuildLogs logs)
{
    const char* text = stage.source.c_str();
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    stage.compile = compileResult(shader, logs);
    return shader;
}

// The demo asks for a log only after a failure, into a fixed buffer; diagnostics ask for
// every log at its whole length.
template <typename Query, typename Fetch>
BuildStep result(GLuint object, GLenum statusName, BuildLogs logs, Query query, Fetch fetch)
{
    BuildStep step;
    GLint status = 0;  // stays 0 when the name is not valid
    query(object, statusName, &status);
    step.ok = status != 0;
    if (logs == BuildLogs::Demo) {
        if (!step.ok) {
            GLchar log[kDemoLogSize] = {};
            fetch(object, kDemoLogSize, nullptr, log);
            step.log = log;
        }
        return step;
    }
    GLint length = 0;
    query(object, GL_INFO_LOG_LENGTH, &length);
    if (length > 1) {
        std::vector<GLchar> log(static_cast<std::size_t>(length), '\0');
        fetch(object, length, nullptr, log.data());
        step.log = log.data();
    }
    return step;
}

}  // namespace

BuildStep compileResult(GLuint shader, BuildLogs logs)
{
    return result(shader, GL_COMPILE_STATUS, logs, glGetShaderiv, glGetShaderInfoLog);
}

BuildStep linkResult(GLuint program, BuildLogs logs)
{
    return result(program, GL_LINK_STATUS, logs, glGetProgramiv, glGetProgramInfoLog);
}

ProgramBuild buildProgram(const char* vertexPath, const char* fragmentPath, BuildLogs logs)
{
    ProgramBuild build;
    build.vertex.path = vertexPath;
    build.fragment.path = fragmentPath;
    if (logs == BuildLogs::Demo) {
        readBoth(build.vertex, build.fragment);
    } else {
        readAlone(build.vertex);
        readAlone(build.fragment);
    }

    const GLuint vertex = compile(GL_VERTEX_SHADER, build.vertex, logs);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, build.fragment, logs);
    build.program = glCreateProgram();
    glAttachShader(build.program, vertex);
    glAttachShader(build.program, fragment);
    glLinkProgram(build.program);
    build.link = linkResult(build.program, logs);
    // The program keeps what it needs; the objects go once it lets them go.
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return build;
}
