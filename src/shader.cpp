// Builds a Shader from its two source files; see shader.hpp. Reading failures are caught
// in one place so that compiling and linking always run, which keeps the driver's own
// reports coming even when a file is missing.
#include "shader.hpp"

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {
// The driver's log is cut to what fits, terminating NUL included.
constexpr GLsizei kInfoLogSize = 1024;
constexpr std::string_view kLinkLabel = "PROGRAM";
constexpr const char* kSeparator = "\n -- --------------------------------------------------- -- ";
}  // namespace

Shader::Shader(const char* vertexPath, const char* fragmentPath)
{
    std::string vertexCode;
    std::string fragmentCode;
    std::ifstream vertexFile;
    std::ifstream fragmentFile;
    vertexFile.exceptions(std::ifstream::failbit | std::ifstream::badbit);
    fragmentFile.exceptions(std::ifstream::failbit | std::ifstream::badbit);
    try {
        // A failure anywhere here leaves both texts empty: they are assigned only at the end.
        vertexFile.open(vertexPath);
        fragmentFile.open(fragmentPath);
        std::stringstream vertexStream;
        std::stringstream fragmentStream;
        // The copy below swallows a read error (a directory opens, then fails to read) and
        // would pass on an empty text; peeking first lets the file's own stream throw it.
        vertexFile.peek();
        vertexStream << vertexFile.rdbuf();
        fragmentFile.peek();
        fragmentStream << fragmentFile.rdbuf();
        vertexFile.close();
        fragmentFile.close();
        vertexCode = vertexStream.str();
        fragmentCode = fragmentStream.str();
    } catch (const std::ios_base::failure&) {
        std::cout << "ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ" << std::endl;
    }
    const char* vertexSource = vertexCode.c_str();
    const char* fragmentSource = fragmentCode.c_str();

    const GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    glShaderSource(vertex, 1, &vertexSource, nullptr);
    glCompileShader(vertex);
    checkCompileErrors(vertex, "VERTEX");

    const GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
    glShaderSource(fragment, 1, &fragmentSource, nullptr);
    glCompileShader(fragment);
    checkCompileErrors(fragment, "FRAGMENT");

    programId = glCreateProgram();
    glAttachShader(programId, vertex);
    glAttachShader(programId, fragment);
    glLinkProgram(programId);
    checkCompileErrors(programId, kLinkLabel);

    // The program keeps what it needs; the objects go once it lets them go.
    glDeleteShader(vertex);
    glDeleteShader(fragment);
}

void Shader::checkCompileErrors(GLuint object, std::string_view type)
{
    // Both start defined: a query on an invalid name writes nothing, which then reads as a
    // failure with an empty log.
    GLint success = 0;
    GLchar infoLog[kInfoLogSize] = {};
    const char* heading = nullptr;
    if (type == kLinkLabel) {
        glGetProgramiv(object, GL_LINK_STATUS, &success);
        if (success != 0)
            return;
        glGetProgramInfoLog(object, kInfoLogSize, nullptr, infoLog);
        heading = "ERROR::PROGRAM_LINKING_ERROR of type: ";
    } else {
        glGetShaderiv(object, GL_COMPILE_STATUS, &success);
        if (success != 0)
            return;
        glGetShaderInfoLog(object, kInfoLogSize, nullptr, infoLog);
        heading = "ERROR::SHADER_COMPILATION_ERROR of type: ";
    }
    std::cout << heading << type << "\n" << infoLog << kSeparator << std::endl;
}
