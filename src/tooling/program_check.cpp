// Programs against the demo's interface; see program_check.hpp. What a quad feeds is read back
// from its own vertex array, so the checks follow the meshes as they are built.
#include "tooling/program_check.hpp"

#include <cstdio>
#include <cstring>
#include <utility>

#include "show/mesh.hpp"

namespace {

using FedLocations = ProgramChecker::FedLocations;

// Marks what only the web build's dialect finds.
constexpr const char* kEsNote = "as GLSL ES for the web build: ";

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
    // A broken block of tracks could still compile, yet the show would run on keys out of order;
    // both stages are read, so that each one's faults are reported in the same run.
    const bool vertexTracksFit = reportTracks(build.vertex, reported, findings);
    const bool fragmentTracksFit = reportTracks(build.fragment, reported, findings);
    const bool tracksFit = vertexTracksFit && fragmentTracksFit;
    // A stage that failed is reported already; its link would only repeat it.
    if (!vertexBuilt || !fragmentBuilt || !tracksFit)
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

