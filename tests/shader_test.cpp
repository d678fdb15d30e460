// The shader loader on a real driver: what it prints, byte for byte, for good and bad source
// files, and what program it leaves. Expected logs come from the driver itself, since their
// wording is the driver's.
#include <glad/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "gl_test_support.hpp"
#include "shader.hpp"

namespace {

using ShaderGl = GlTest;

const std::string kVertexSource = R"(#version 330 core
layout (location = 0) in vec3 aPos;
void main() { gl_Position = vec4(aPos, 1.0); }
)";
const std::string kFragmentSource = R"(#version 330 core
out vec4 colour;
void main() { colour = vec4(1.0); }
)";
const std::string kBrokenFragmentSource = "#version 330 core\nout vec4 colour;\nvoid main() { colour = }\n";

const std::string kFileError = "ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ\n";
const std::string kSeparator = "\n -- --------------------------------------------------- -- \n";

std::string compileReport(const std::string& label, const std::string& log)
{
    return "ERROR::SHADER_COMPILATION_ERROR of type: " + label + "\n" + log + kSeparator;
}

std::string linkReport(const std::string& log)
{
    return "ERROR::PROGRAM_LINKING_ERROR of type: PROGRAM\n" + log + kSeparator;
}

GLuint compile(GLenum type, const std::string& source)
{
    const GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    return shader;
}

// The whole of the driver's compile log, however long.
std::string compileLog(GLenum type, const std::string& source)
{
    const GLuint shader = compile(type, source);
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(length), '\0');
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    glDeleteShader(shader);
    return log.c_str();
}

std::string linkLog(const std::string& vertexSource, const std::string& fragmentSource)
{
    const GLuint program = glCreateProgram();
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentSource);
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    char log[4096] = {};
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    glDeleteProgram(program);
    return log;
}

// Builds a Shader from the named files in a fresh working directory; an empty text means
// the file is not there.
struct Built {
    std::string output;
    GLuint program;
};

Built build(const std::string& vertexText, const std::string& fragmentText)
{
    const WorkDir dir;
    if (!vertexText.empty())
        dir.write("a.vs", vertexText);
    if (!fragmentText.empty())
        dir.write("a.fs", fragmentText);
    const CoutCapture capture;
    const Shader shader("a.vs", "a.fs");
    return {capture.text(), shader.programId};
}

GLint programValue(GLuint program, GLenum what)
{
    GLint value = 0;
    glGetProgramiv(program, what, &value);
    return value;
}

TEST_F(ShaderGl, ValidPairPrintsNothingAndLinksWithBothShadersReleased)
{
    const Built built = build(kVertexSource, kFragmentSource);
    EXPECT_EQ(built.output, "");
    EXPECT_TRUE(glIsProgram(built.program));
    EXPECT_EQ(programValue(built.program, GL_LINK_STATUS), GL_TRUE);

    GLuint attached[2] = {};
    GLsizei count = 0;
    glGetAttachedShaders(built.program, 2, &count, attached);
    ASSERT_EQ(count, 2);
    for (const GLuint shader : attached) {
        GLint deleted = GL_FALSE;
        glGetShaderiv(shader, GL_DELETE_STATUS, &deleted);
        EXPECT_EQ(deleted, GL_TRUE) << "shader " << shader << " is kept alive";
    }
}

TEST_F(ShaderGl, AnUnreadableFileReportsOnceThenBuildsFromTwoEmptyTexts)
{
    // Whichever file fails, neither text reaches the driver, and the file message comes once.
    const std::string expected = kFileError + compileReport("VERTEX", compileLog(GL_VERTEX_SHADER, "")) +
                                 compileReport("FRAGMENT", compileLog(GL_FRAGMENT_SHADER, "")) +
                                 linkReport(linkLog("", ""));
    ASSERT_NE(compileLog(GL_VERTEX_SHADER, ""), "") << "this driver accepts an empty shader";

    struct Case {
        std::string vertex;
        std::string fragment;
        const char* what;
    };
    for (const auto& [vertex, fragment, what] : {Case{"", kFragmentSource, "vertex missing"},
                                                 Case{kVertexSource, "", "fragment missing"},
                                                 Case{"", "", "both missing"}}) {
        const Built built = build(vertex, fragment);
        EXPECT_EQ(built.output, expected) << what;
        EXPECT_NE(built.program, 0u) << what;
        EXPECT_EQ(programValue(built.program, GL_LINK_STATUS), GL_FALSE) << what;
    }
}

TEST_F(ShaderGl, BrokenFragmentReportsItsCompileThenTheLinkAndNoVertexReport)
{
    const Built built = build(kVertexSource, kBrokenFragmentSource);
    EXPECT_EQ(built.output, compileReport("FRAGMENT", compileLog(GL_FRAGMENT_SHADER, kBrokenFragmentSource)) +
                                linkReport(linkLog(kVertexSource, kBrokenFragmentSource)));
    EXPECT_EQ(programValue(built.program, GL_LINK_STATUS), GL_FALSE);
}

TEST_F(ShaderGl, ALongDriverLogIsCutTo1023Characters)
{
    // One undeclared name of 2000 characters makes a log well past the buffer.
    const std::string source = "#version 330 core\nout vec4 colour;\nvoid main() { colour = vec4(" +
                               std::string(2000, 'q') + "); }\n";
    const std::string fullLog = compileLog(GL_FRAGMENT_SHADER, source);
    ASSERT_GT(fullLog.size(), 1023u);

    const GLuint shader = compile(GL_FRAGMENT_SHADER, source);
    const CoutCapture capture;
    Shader::checkCompileErrors(shader, "FRAGMENT");
    EXPECT_EQ(capture.text(), compileReport("FRAGMENT", fullLog.substr(0, 1023)));
    glDeleteShader(shader);
}

TEST_F(ShaderGl, OnlyTheExactLabelProgramSelectsTheLinkCheck)
{
    // A linked program passes the link check; queried as a shader it is not a shader, the
    // status stays at its start of 0 and an empty-log compile report follows.
    const Built built = build(kVertexSource, kFragmentSource);
    const GLuint compiled = compile(GL_VERTEX_SHADER, kVertexSource);
    {
        const CoutCapture capture;
        Shader::checkCompileErrors(built.program, "PROGRAM");
        Shader::checkCompileErrors(compiled, "VERTEX");
        EXPECT_EQ(capture.text(), "");
    }
    for (const char* label : {"program", "PROGRAMS", "PROGRA", "Program"}) {
        const CoutCapture capture;
        Shader::checkCompileErrors(built.program, label);
        EXPECT_EQ(capture.text(), compileReport(label, "")) << label;
    }
    // And the other way round: a good shader put through the link check.
    const CoutCapture capture;
    Shader::checkCompileErrors(compiled, "PROGRAM");
    EXPECT_EQ(capture.text(), linkReport(""));
    glDeleteShader(compiled);
}

}  // namespace
