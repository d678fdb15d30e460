// The diagnostics; see diagnostics.hpp. Programs come from the demo's own program builder with
// every log whole and each file read on its own, so that each stage's report is pinned to its
// file; the picture and tune come from the demo's own readers.
#include "diagnostics.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sstream>
#include <utility>

#include "data_file.hpp"
#include "mesh.hpp"
#include "music_reader.hpp"
#include "shader_log.hpp"
#include "texture.hpp"

namespace {

using FedLocations = ProgramChecker::FedLocations;

// A PCM or float WAV body has no structure past its header, so a second of it shows that
// the reader yields audio as well as a whole loop would.
constexpr int kTuneSecondsDecoded = 1;
// Source lines are quoted under their report, indented by this.
constexpr const char* kQuoteIndent = "    ";

std::string typeName(GLenum type)
{
    static const std::pair<GLenum, const char*> kNames[] = {
        {GL_FLOAT, "float"}, {GL_FLOAT_VEC2, "vec2"}, {GL_FLOAT_VEC3, "vec3"},
        {GL_FLOAT_VEC4, "vec4"}, {GL_INT, "int"}, {GL_INT_VEC2, "ivec2"}, {GL_INT_VEC3, "ivec3"},
        {GL_INT_VEC4, "ivec4"}, {GL_UNSIGNED_INT, "uint"}, {GL_BOOL, "bool"},
        {GL_FLOAT_MAT2, "mat2"}, {GL_FLOAT_MAT3, "mat3"}, {GL_FLOAT_MAT4, "mat4"},
        {GL_SAMPLER_1D, "sampler1D"}, {GL_SAMPLER_2D, "sampler2D"}, {GL_SAMPLER_3D, "sampler3D"},
        {GL_SAMPLER_CUBE, "samplerCube"}, {GL_INT_SAMPLER_2D, "isampler2D"},
        {GL_UNSIGNED_INT_SAMPLER_2D, "usampler2D"}};
    for (const auto& [value, name] : kNames)
        if (value == type)
            return name;
    char hex[16];
    std::snprintf(hex, sizeof hex, "type 0x%04X", type);
    return hex;
}

bool isFloatVector(GLenum type)
{
    return type == GL_FLOAT || type == GL_FLOAT_VEC2 || type == GL_FLOAT_VEC3 || type == GL_FLOAT_VEC4;
}

// Line `number` (1-based) of the text, without its indentation; none past the end.
std::optional<std::string> sourceLine(const std::string& text, int number)
{
    std::istringstream lines(text);
    std::string line;
    for (int i = 0; i < number; ++i)
        if (!std::getline(lines, line))
            return std::nullopt;
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    line.erase(0, line.find_first_not_of(" \t"));
    return line;
}

// Reports each entry of a driver's log against `where` (a file, or a program's two files
// when `source` is null). Entries in a row about one line (Mesa lists a call's candidates
// that way) make one finding, with the source line quoted once under them. Returns whether
// any of them is a problem.
bool reportLog(const std::string& log, const std::string& where, const std::string* source,
               bool succeeded, Findings& findings, const std::string& note = "")
{
    const std::vector<LogEntry> entries = parseInfoLog(log);
    bool anyProblem = false;
    for (std::size_t first = 0; first < entries.size();) {
        const LogEntry& lead = entries[first];
        const bool located = lead.line > 0 && source != nullptr;
        const std::string prefix = located ? where + ":" + std::to_string(lead.line) : where;
        const bool problem = !succeeded && !lead.warning;
        std::string text = prefix + ": " + note + lead.message;
        std::size_t next = first + 1;
        for (; next < entries.size() && located && entries[next].line == lead.line &&
               entries[next].warning == lead.warning;
             ++next)
            text += "\n" + prefix + ": " + note + entries[next].message;
        if (located) {
            if (const std::optional<std::string> quoted = sourceLine(*source, lead.line))
                text += "\n" + std::string(kQuoteIndent) + *quoted;
        }
        if (problem)
            findings.problem(std::move(text));
        else
            findings.warning(std::move(text));
        anyProblem = anyProblem || problem;
        first = next;
    }
    return anyProblem;
}

// Reports a stage's reading and compiling the first time its file comes up (programs share
// files), each message after `note`; returns whether it compiled.
bool reportStage(const StageBuild& stage, std::set<std::string>& reported, Findings& findings,
                 const std::string& note = "")
{
    const bool compiled = stage.read && stage.compile.ok;
    if (!reported.insert(stage.path).second)
        return compiled;
    if (!stage.read) {
        findings.problem(readFailure(stage.path, stage.readError));
        return false;
    }
    const bool explained =
        reportLog(stage.compile.log, stage.path, &stage.source, stage.compile.ok, findings, note);
    if (!compiled && !explained)
        findings.problem(std::string(stage.path) + ": " + note + "does not compile (the driver gives no reason)");
    return compiled;
}

// Marks what only the web build's dialect finds.
constexpr const char* kEsNote = "as GLSL ES for the web build: ";

FedLocations fedLocations(const Mesh& mesh)
{
    FedLocations fed;
    GLint locations = 0;
    glGetIntegerv(GL_MAX_VERTEX_ATTRIBS, &locations);
    glBindVertexArray(mesh.vertexArray);
    for (GLint location = 0; location < locations; ++location) {
        GLint enabled = 0;
        glGetVertexAttribiv(static_cast<GLuint>(location), GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        if (enabled != 0)
            glGetVertexAttribiv(static_cast<GLuint>(location), GL_VERTEX_ATTRIB_ARRAY_SIZE, &fed[location]);
    }
    glBindVertexArray(0);
    return fed;
}

std::string describe(const FedLocations& fed)
{
    std::string text;
    for (const auto& [location, components] : fed)
        text += (text.empty() ? "" : ", ") + std::to_string(location) + " (" +
                std::to_string(components) + " floats)";
    return text;
}

void checkAttributes(GLuint program, const char* vertexPath, const char* quad,
                     const FedLocations& fed, Findings& findings)
{
    GLint count = 0;
    GLint longest = 0;
    glGetProgramiv(program, GL_ACTIVE_ATTRIBUTES, &count);
    glGetProgramiv(program, GL_ACTIVE_ATTRIBUTE_MAX_LENGTH, &longest);
    bool positionRead = false;
    for (GLint i = 0; i < count; ++i) {
        std::string name(static_cast<std::size_t>(longest) + 1, '\0');
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveAttrib(program, static_cast<GLuint>(i), longest + 1, &length, &size, &type, name.data());
        name.resize(static_cast<std::size_t>(length));
        if (name.rfind("gl_", 0) == 0)
            continue;  // built-in inputs such as gl_VertexID come from the driver, not the quad
        const GLint location = glGetAttribLocation(program, name.c_str());
        const std::string where = std::string(vertexPath) + ": attribute \"" + name + "\" ";
        if (fed.count(location) == 0)
            findings.problem(where + "reads location " + std::to_string(location) + ", which " + quad +
                             " does not feed (it feeds " + describe(fed) + ")");
        else if (!isFloatVector(type))
            findings.problem(where + "is a " + typeName(type) + ", but " + quad + " feeds floats");
        positionRead = positionRead || location == 0;
    }
    if (!positionRead)
        findings.problem(std::string(vertexPath) + ": no attribute reads the position that " + quad +
                         " feeds at location 0");
}

void checkUniforms(GLuint program, const ProgramSpec& spec, const std::string& where, Findings& findings)
{
    struct Declared {
        GLenum type;
        GLint size;
    };
    std::map<std::string, Declared> active;
    GLint count = 0;
    GLint longest = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    glGetProgramiv(program, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
    for (GLint i = 0; i < count; ++i) {
        std::string name(static_cast<std::size_t>(longest) + 1, '\0');
        GLsizei length = 0;
        Declared declared{};
        glGetActiveUniform(program, static_cast<GLuint>(i), longest + 1, &length, &declared.size,
                           &declared.type, name.data());
        name.resize(static_cast<std::size_t>(length));
        const std::size_t array = name.rfind("[0]");
        if (array != std::string::npos && array + 3 == name.size())
            name.resize(array);  // an array answers to its bare name too
        active[name] = declared;
    }
    for (const UniformSpec& uniform : spec.uniforms) {
        const std::string named = where + ": uniform \"" + uniform.name + "\" ";
        const auto found = active.find(uniform.name);
        if (found == active.end() || glGetUniformLocation(program, uniform.name) < 0) {
            findings.problem(named + "(" + typeName(uniform.type) +
                             ") is not active: absent or optimised out, so the value the demo sets is lost");
        } else if (found->second.type != uniform.type || found->second.size != 1) {
            const std::string array =
                found->second.size != 1 ? "[" + std::to_string(found->second.size) + "]" : "";
            findings.problem(named + "is a " + typeName(found->second.type) + array +
                             ", but the demo sets a " + typeName(uniform.type));
        }
    }
}

}  // namespace

int Findings::problemCount() const
{
    return static_cast<int>(std::count_if(entries.begin(), entries.end(),
                                          [](const Entry& entry) { return entry.problem; }));
}

ProgramChecker::ProgramChecker()
{
    const Mesh screenQuad = buildScreenQuad();
    const Mesh texturedQuad = buildTexturedQuad();
    screenFed_ = fedLocations(screenQuad);
    texturedFed_ = fedLocations(texturedQuad);
    deleteMesh(screenQuad);
    deleteMesh(texturedQuad);
}

bool ProgramChecker::check(const ProgramBuild& build, const ProgramSpec& spec, std::set<std::string>& reported,
                           Findings& findings) const
{
    const bool vertexBuilt = reportStage(build.vertex, reported, findings);
    const bool fragmentBuilt = reportStage(build.fragment, reported, findings);
    // A stage that failed is reported already; its link would only repeat it.
    if (!vertexBuilt || !fragmentBuilt)
        return false;
    const int before = findings.problemCount();
    const std::string where = std::string(spec.vertexPath) + " + " + spec.fragmentPath;
    const bool explained = reportLog(build.link.log, where, nullptr, build.link.ok, findings);
    if (!build.link.ok) {
        if (!explained)
            findings.problem(where + ": the program does not link (the driver gives no reason)");
        return false;
    }
    // The framebuffer's own pixels, which on a screen of another size no longer span the
    // picture: a hint, not a fault, since the show still runs.
    if (build.fragment.source.find("gl_FragCoord") != std::string::npos
        && reported.insert(std::string(spec.fragmentPath) + " gl_FragCoord").second)
        findings.warning(std::string(spec.fragmentPath) + ": reads gl_FragCoord, which follows the framebuffer while "
                         "\"u_resolution\" stays 1920x1080: on a screen of another size the picture will not fit "
                         "it (a position handed on by the vertex stage fits any)");
    const bool textured = spec.quad == Quad::Textured;
    checkAttributes(build.program, spec.vertexPath, textured ? "texturedQuad" : "screenQuad",
                    textured ? texturedFed_ : screenFed_, findings);
    checkUniforms(build.program, spec, where, findings);
    return findings.problemCount() == before;
}

bool compilesEsGlsl()
{
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const GLubyte* name = glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i));
        if (name != nullptr && std::strcmp(reinterpret_cast<const char*>(name), "GL_ARB_ES3_compatibility") == 0)
            return true;
    }
    return false;
}

void checkAsEs(const ProgramBuild& desktop, const ProgramSpec& spec, std::set<std::string>& reported,
               Findings& findings)
{
    if (!desktop.vertex.compile.ok || !desktop.fragment.compile.ok)
        return;  // reported as the demo builds it already
    const ProgramBuild build =
        buildProgram(spec.vertexPath, spec.fragmentPath, BuildLogs::Whole, GlslDialect::Es300);
    bool compiled = true;
    for (const StageBuild* stage : {&build.vertex, &build.fragment})
        if (!stage->compile.ok) {
            reportStage(*stage, reported, findings, kEsNote);
            compiled = false;
        }
    if (compiled && desktop.link.ok && !build.link.ok) {
        const std::string where = std::string(spec.vertexPath) + " + " + spec.fragmentPath;
        if (!reportLog(build.link.log, where, nullptr, false, findings, kEsNote))
            findings.problem(where + ": " + kEsNote + "the program does not link (the driver gives no reason)");
    }
    glDeleteProgram(build.program);
}

std::string readFailure(const char* path, int error)
{
    return std::string(path) + ": cannot be read (" + DataFile::describe(error) + ")";
}

std::string pictureSize(const Picture& picture)
{
    return std::to_string(picture.width) + "x" + std::to_string(picture.height) + " with " +
           std::to_string(picture.channels) + " channels";
}

std::string pictureProblem(const Picture& picture)
{
    if (!picture.pixels)
        return std::string(kImagePath) + ": " + picture.problem;
    if (fitsTexture(picture))
        return {};
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    return std::string(kImagePath) + ": decodes to " + pictureSize(picture) +
           ", which the demo cannot upload (at most " + std::to_string(maxSize) + " pixels a side)";
}

std::string tuneProblem(LoopedWav& tune)
{
    if (!tune.playable())
        return std::string(kTunePath) +
               ": not a WAV the demo plays (integer PCM of 8 to 32 bits or float, mono or stereo, 8 to 192 "
               "kHz, at least one frame)";
    const std::size_t frames = static_cast<std::size_t>(tune.sampleRate()) * kTuneSecondsDecoded;
    std::vector<float> samples(frames * static_cast<std::size_t>(tune.channels()));
    if (tune.read(samples.data(), frames) != frames)
        return std::string(kTunePath) + ": stops yielding audio while it is decoded";
    return {};
}
