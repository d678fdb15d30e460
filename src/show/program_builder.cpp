// Builds a program from its two source files; see program_builder.hpp. The files are read
// through the data-file guard, so that anything but a regular file (a directory, a FIFO)
// fails like a missing one, at once, rather than passing on an empty text or waiting.
#include "show/program_builder.hpp"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/data_file.hpp"

namespace {

// The demo shows this much of a log, terminating NUL included.
constexpr GLsizei kDemoLogSize = 1024;

// What replaces a desktop version directive. Vertex stages default to high precision already;
// fragment stages have no default for floats in ES, and medium for integers.
constexpr const char* kEsPreamble = "#version 300 es\nprecision highp float;\nprecision highp int;\n";

// Where the first preprocessor directive of the text starts, if it is the version directive.
std::size_t versionDirective(const std::string& source)
{
    for (std::size_t line = 0; line < source.size();) {
        const std::size_t first = source.find_first_not_of(" \t\r", line);
        if (first == std::string::npos)
            break;
        if (source[first] == '#') {
            const std::size_t name = source.find_first_not_of(" \t", first + 1);
            constexpr std::string_view kVersion = "version";
            const bool version = name != std::string::npos && source.compare(name, kVersion.size(), kVersion) == 0;
            return version ? line : std::string::npos;
        }
        const std::size_t end = source.find('\n', line);
        if (end == std::string::npos)
            break;
        line = end + 1;
    }
    return std::string::npos;
}

// Whether `stage`'s file opened, and then whether it was read whole; a failure is put down
// to that file.
bool opened(const DataFile& file, StageBuild& stage)
{
    stage.readError = file.error();
    return file.error() == 0;
}

bool readFrom(DataFile& file, StageBuild& stage, std::string& text)
{
    const bool read = file.readAll(text);
    stage.readError = file.error();
    return read;
}

// The demo's order: open both, read both, close both; the first failure ends it and leaves
// both texts empty.
void readBoth(StageBuild& vertex, StageBuild& fragment)
{
    DataFile vertexFile(vertex.path);
    if (!opened(vertexFile, vertex))
        return;
    DataFile fragmentFile(fragment.path);
    std::string vertexText;
    std::string fragmentText;
    if (!opened(fragmentFile, fragment) || !readFrom(vertexFile, vertex, vertexText)
        || !readFrom(fragmentFile, fragment, fragmentText))
        return;
    vertex.read = fragment.read = true;
    vertex.source = std::move(vertexText);
    fragment.source = std::move(fragmentText);
}

void readAlone(StageBuild& stage)
{
    DataFile file(stage.path);
    std::string text;
    stage.read = opened(file, stage) && readFrom(file, stage, text);
    if (stage.read)
        stage.source = std::move(text);
}

GLuint compile(GLenum type, StageBuild& stage, BuildLogs logs, GlslDialect dialect)
{
    const bool rewrite = dialect == GlslDialect::Es300;
    const std::string rewritten = rewrite ? toEsGlsl(stage.source) : std::string();
    const char* text = rewrite ? rewritten.c_str() : stage.source.c_str();
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

std::string toEsGlsl(const std::string& source)
{
    const std::size_t directive = versionDirective(source);
    if (directive == std::string::npos)
        return source;
    const std::size_t end = source.find('\n', directive);
    const std::size_t rest = end == std::string::npos ? source.size() : end + 1;
    // The line after the directive keeps its number: ES and GLSL 3.30 both take #line N to
    // number the line that follows it N.
    const auto before = source.begin() + static_cast<std::ptrdiff_t>(directive);
    const auto nextLine = std::count(source.begin(), before, '\n') + 2;  // 1-based, past the directive
    return source.substr(0, directive) + kEsPreamble + "#line " + std::to_string(nextLine) + "\n" +
           source.substr(rest);
}

BuildStep compileResult(GLuint shader, BuildLogs logs)
{
    return result(shader, GL_COMPILE_STATUS, logs, glGetShaderiv, glGetShaderInfoLog);
}

BuildStep linkResult(GLuint program, BuildLogs logs)
{
    return result(program, GL_LINK_STATUS, logs, glGetProgramiv, glGetProgramInfoLog);
}

ProgramBuild buildProgram(const char* vertexPath, const char* fragmentPath, BuildLogs logs, GlslDialect dialect)
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

    const GLuint vertex = compile(GL_VERTEX_SHADER, build.vertex, logs, dialect);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, build.fragment, logs, dialect);
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
