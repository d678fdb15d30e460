// The shader loader on a real driver: what it prints, byte for byte, for good and bad source
// files, and what program it leaves. Expected logs come from the driver itself, since their
// wording is the driver's.
#include "gl_test_support.hpp"
#include "show/shader.hpp"

namespace {

using ShaderGl = GlTest;

const std::string kVertex =
    "#version 330 core\nlayout (location = 0) in vec3 aPos;\nvoid main() { gl_Position = vec4(aPos, 1.0); }\n";
const std::string kFragment = "#version 330 core\nout vec4 colour;\nvoid main() { colour = vec4(1.0); }\n";
const std::string kBrokenFragment = "#version 330 core\nout vec4 colour;\nvoid main() { colour = }\n";
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

std::string linkLog(const std::string& vertexSource, const std::string& fragmentSource)
{
    const GLuint program = glCreateProgram();
    glAttachShader(program, compile(GL_VERTEX_SHADER, vertexSource));
    glAttachShader(program, compile(GL_FRAGMENT_SHADER, fragmentSource));
    glLinkProgram(program);
    char log[4096] = {};
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    return log;
}

TEST_F(ShaderGl, EachPairOfFilesPrintsExactlyItsReportsAndLeavesAProgramWithBothShadersReleased)
{
    // Whichever file fails, neither text reaches the driver, and the file message comes once.
    ASSERT_NE(compileLog(GL_VERTEX_SHADER, ""), "") << "this driver accepts an empty shader";
    const std::string unreadable = "ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ\n" +
                                   compileReport("VERTEX", compileLog(GL_VERTEX_SHADER, "")) +
                                   compileReport("FRAGMENT", compileLog(GL_FRAGMENT_SHADER, "")) + linkReport(linkLog("", ""));
    struct Case {
        const char* what;
        std::string vertex, fragment, output;  // an empty text: the file is not there
    };
    for (const Case& c : {Case{"valid pair", kVertex, kFragment, ""}, Case{"vertex missing", "", kFragment, unreadable},
                          Case{"fragment missing", kVertex, "", unreadable}, Case{"both missing", "", "", unreadable},
                          Case{"broken fragment", kVertex, kBrokenFragment,
                               compileReport("FRAGMENT", compileLog(GL_FRAGMENT_SHADER, kBrokenFragment)) +
                                   linkReport(linkLog(kVertex, kBrokenFragment))}}) {
        SCOPED_TRACE(c.what);
        const WorkDir dir;
        if (!c.vertex.empty())
            dir.write("a.vs", c.vertex);
        if (!c.fragment.empty())
            dir.write("a.fs", c.fragment);
        const CoutCapture capture;
        const GLuint program = Shader("a.vs", "a.fs").programId;
        EXPECT_EQ(capture.text(), c.output);
        EXPECT_TRUE(glIsProgram(program));
        GLint linked = -1;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, c.output.empty() ? GL_TRUE : GL_FALSE);
        GLuint attached[2] = {};
        GLsizei count = 0;
        glGetAttachedShaders(program, 2, &count, attached);
        ASSERT_EQ(count, 2);
        for (const GLuint shader : attached) {
            GLint deleted = GL_FALSE;
            glGetShaderiv(shader, GL_DELETE_STATUS, &deleted);
            EXPECT_EQ(deleted, GL_TRUE) << "shader " << shader << " is kept alive";
        }
    }
}

TEST_F(ShaderGl, ALongDriverLogIsCutTo1023Characters)
{
    // One undeclared name of 2000 characters makes a log well past the buffer.
    const std::string source =
        "#version 330 core\nout vec4 colour;\nvoid main() { colour = vec4(" + std::string(2000, 'q') + "); }\n";
    const std::string fullLog = compileLog(GL_FRAGMENT_SHADER, source);
    ASSERT_GT(fullLog.size(), 1023u);
    const WorkDir dir;
    dir.write("a.vs", kVertex);
    dir.write("a.fs", source);
    const CoutCapture capture;
    Shader("a.vs", "a.fs");
    const std::string report = compileReport("FRAGMENT", fullLog.substr(0, 1023));
    EXPECT_EQ(capture.text().substr(0, report.size()), report);
}

}  // namespace
