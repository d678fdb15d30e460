// The data checks; see data_check.hpp. Shaders are compiled one source string per file, as
// the demo's Shader does, but each stage only once and kept apart, so that every report can
// be pinned to its own file; the picture and tune go through the demo's own loaders.
#include "data_check.hpp"

#include <glad/gl.h>
#include <stb_image.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <utility>

#include "mesh.hpp"
#include "music_reader.hpp"
#include "scenes.hpp"
#include "shader_log.hpp"
#include "texture.hpp"

namespace {

// The file the demo's music start plays.
constexpr const char* kTunePath = "demotune.wav";
// A PCM or float WAV body has no structure past its header, so a second of it shows that
// the reader yields audio as well as a whole loop would.
constexpr int kTuneSecondsDecoded = 1;
// Source lines are quoted under their report, indented by this.
constexpr const char* kQuoteIndent = "    ";

struct UniformUse {
    const char* name;
    GLenum type;
};

struct ProgramUse {
    const char* vertexPath;
    const char* fragmentPath;
    bool onTexturedQuad;  // else drawn on screenQuad
    std::vector<UniformUse> uniforms;
};

// The demo sets every uniform below; one that the program lacks gets location -1 and the
// demo's value is silently dropped.
const ProgramUse kPrograms[] = {
    {kImageVertexShader, kImageFragmentShader, true,
     {{"u_resolution", GL_FLOAT_VEC2}, {"u_time", GL_FLOAT},
      {"texture15", GL_SAMPLER_2D}, {"view", GL_FLOAT_MAT4},
      {"projection", GL_FLOAT_MAT4}, {"model", GL_FLOAT_MAT4}}},
    {kScreenVertexShader, kFirstFragmentShader, false,
     {{"u_resolution", GL_FLOAT_VEC2}, {"u_time", GL_FLOAT}}},
    {kScreenVertexShader, kSecondFragmentShader, false,
     {{"u_resolution", GL_FLOAT_VEC2}, {"u_time", GL_FLOAT}}},
};

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
               bool succeeded, Findings& findings)
{
    const std::vector<LogEntry> entries = parseInfoLog(log);
    bool anyProblem = false;
    for (std::size_t first = 0; first < entries.size();) {
        const LogEntry& lead = entries[first];
        const bool located = lead.line > 0 && source != nullptr;
        const std::string prefix = located ? where + ":" + std::to_string(lead.line) : where;
        const bool problem = !succeeded && !lead.warning;
        std::string text = prefix + ": " + lead.message;
        std::size_t next = first + 1;
        for (; next < entries.size() && located && entries[next].line == lead.line &&
               entries[next].warning == lead.warning;
             ++next)
            text += "\n" + prefix + ": " + entries[next].message;
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

std::string shaderLog(GLuint shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(std::max(length, 1)), '\0');
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    return log.c_str();
}

std::string programLog(GLuint program)
{
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(std::max(length, 1)), '\0');
    glGetProgramInfoLog(program, length, nullptr, log.data());
    return log.c_str();
}

std::string readFailure(const char* path)
{
    return std::string(path) + ": cannot be read (" + std::strerror(errno) + ")";
}

// Whole file as text, the way the demo's Shader reads it.
std::optional<std::string> readSource(const char* path, Findings& findings)
{
    errno = 0;
    std::ifstream file(path);
    std::stringstream text;
    if (file)
        text << file.rdbuf();
    if (!file || file.bad()) {
        findings.problem(readFailure(path));
        return std::nullopt;
    }
    return text.str();
}

// Each file is compiled once, however many programs share it, so that its reports appear once.
class Stages {
public:
    // 0 when the file could not be read or did not compile; reported either way.
    GLuint compiled(GLenum type, const char* path, Findings& findings)
    {
        const auto known = shaders_.find(path);
        if (known != shaders_.end())
            return known->second;
        GLuint& shader = shaders_[path];
        const std::optional<std::string> source = readSource(path, findings);
        if (!source)
            return 0;
        const char* text = source->c_str();
        shader = glCreateShader(type);
        glShaderSource(shader, 1, &text, nullptr);
        glCompileShader(shader);
        GLint status = 0;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
        const bool reported = reportLog(shaderLog(shader), path, &*source, status != 0, findings);
        if (status == 0) {
            if (!reported)
                findings.problem(std::string(path) + ": does not compile (the driver gives no reason)");
            glDeleteShader(shader);
            shader = 0;
        }
        return shader;
    }

    ~Stages()
    {
        for (const auto& [path, shader] : shaders_)
            glDeleteShader(shader);
    }

private:
    std::map<std::string, GLuint> shaders_;
};

// Attribute location to component count, as the quad's vertex array feeds them.
using FedLocations = std::map<GLint, GLint>;

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

void checkUniforms(GLuint program, const ProgramUse& use, const std::string& where, Findings& findings)
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
    for (const UniformUse& uniform : use.uniforms) {
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

// Writes nothing anywhere for its life: the demo's loaders report on standard output in the
// demo's words, and demo-check words its own.
class QuietCout {
public:
    QuietCout() : previous_(std::cout.rdbuf(discarded_.rdbuf())) {}
    ~QuietCout() { std::cout.rdbuf(previous_); }
    QuietCout(const QuietCout&) = delete;
    QuietCout& operator=(const QuietCout&) = delete;

private:
    std::ostringstream discarded_;
    std::streambuf* previous_;
};

bool readable(const char* path, Findings& findings)
{
    errno = 0;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        findings.problem(readFailure(path));
        return false;
    }
    std::fclose(file);
    return true;
}

}  // namespace

int Findings::problemCount() const
{
    return static_cast<int>(std::count_if(entries.begin(), entries.end(),
                                          [](const Entry& entry) { return entry.problem; }));
}

void checkPrograms(Findings& findings)
{
    const Mesh screenQuad = buildScreenQuad();
    const Mesh texturedQuad = buildTexturedQuad();
    const FedLocations screenFed = fedLocations(screenQuad);
    const FedLocations texturedFed = fedLocations(texturedQuad);
    deleteMesh(screenQuad);
    deleteMesh(texturedQuad);

    const int before = findings.problemCount();
    Stages stages;
    for (const ProgramUse& use : kPrograms) {
        const GLuint vertex = stages.compiled(GL_VERTEX_SHADER, use.vertexPath, findings);
        const GLuint fragment = stages.compiled(GL_FRAGMENT_SHADER, use.fragmentPath, findings);
        if (vertex == 0 || fragment == 0)
            continue;  // reported already; a link would only repeat it
        const GLuint program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glLinkProgram(program);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        const std::string where = std::string(use.vertexPath) + " + " + use.fragmentPath;
        const bool reported = reportLog(programLog(program), where, nullptr, linked != 0, findings);
        if (linked == 0) {
            if (!reported)
                findings.problem(where + ": the program does not link (the driver gives no reason)");
        } else {
            checkAttributes(program, use.vertexPath, use.onTexturedQuad ? "texturedQuad" : "screenQuad",
                            use.onTexturedQuad ? texturedFed : screenFed, findings);
            checkUniforms(program, use, where, findings);
        }
        glDeleteProgram(program);
    }
    if (findings.problemCount() == before)
        findings.passed.push_back(std::to_string(std::size(kPrograms)) + " scene programs");
}

void checkPicture(Findings& findings)
{
    GLuint texture = 0;
    {
        const QuietCout quiet;
        texture = loadTexture();
    }
    // Only a successful load ever binds the name, and only a bound name is a texture.
    const bool loaded = glIsTexture(texture) == GL_TRUE;
    glDeleteTextures(1, &texture);
    int width = 0;
    int height = 0;
    int channels = 0;
    if (loaded) {
        stbi_info(kImagePath, &width, &height, &channels);
        findings.passed.push_back("picture " + std::to_string(width) + "x" + std::to_string(height) +
                                  " with " + std::to_string(channels) + " channels");
        return;
    }
    if (!readable(kImagePath, findings))
        return;
    // Decoded again only to say why: the loader keeps its reason to itself.
    stbi_uc* pixels = stbi_load(kImagePath, &width, &height, &channels, 0);
    if (pixels == nullptr) {
        findings.problem(std::string(kImagePath) + ": the demo's PNG decoder refuses it (" +
                         stbi_failure_reason() + ")");
        return;
    }
    stbi_image_free(pixels);
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    findings.problem(std::string(kImagePath) + ": decodes to " + std::to_string(width) + "x" +
                     std::to_string(height) + " with " + std::to_string(channels) +
                     " channels, which the demo cannot upload (1 to 4 channels, at most " +
                     std::to_string(maxSize) + " pixels a side)");
}

void checkTune(Findings& findings)
{
    if (!readable(kTunePath, findings))
        return;
    LoopedWav tune(kTunePath);
    if (!tune.playable()) {
        findings.problem(std::string(kTunePath) +
                         ": not a WAV the demo plays (integer PCM of 8 to 32 bits or float, mono or "
                         "stereo, 8 to 192 kHz, at least one frame)");
        return;
    }
    const std::size_t frames = static_cast<std::size_t>(tune.sampleRate()) * kTuneSecondsDecoded;
    std::vector<float> samples(frames * static_cast<std::size_t>(tune.channels()));
    if (tune.read(samples.data(), frames) != frames) {
        findings.problem(std::string(kTunePath) + ": stops yielding audio while it is decoded");
        return;
    }
    findings.passed.push_back("tune " + std::to_string(tune.sampleRate()) + " Hz " +
                              (tune.channels() == 1 ? "mono" : "stereo"));
}
