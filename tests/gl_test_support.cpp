// Off-screen GL fixture and helpers; see gl_test_support.hpp.
#include "gl_test_support.hpp"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "png_file.hpp"

void GlTest::TearDown()
{
    if (HasFailure()) {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        const std::string path = std::string(info->test_suite_name()) + "." + info->name() + ".png";
        std::ofstream(path, std::ios::binary) << pngFile(kSize, kSize, 4, target_.readRgba().data());
        std::cerr << "frame written to " << path << "\n";
    }
}

std::string compileLog(GLenum type, const std::string& source)
{
    const GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(std::size_t(length) + 1, '\0');
    glGetShaderInfoLog(shader, length + 1, nullptr, log.data());
    glDeleteShader(shader);
    return log.c_str();
}

WorkDir::WorkDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "demo-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary directory");
    path_ = pattern;
    std::filesystem::current_path(path_);
}

WorkDir::~WorkDir()
{
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WorkDir::write(const std::string& path, const std::string& contents) const
{
    const std::filesystem::path file = path_ / path;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
}
