// Off-screen GL fixture and helpers; see gl_test_support.hpp.
#include "gl_test_support.hpp"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <stdexcept>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

void GlTest::TearDown()
{
    if (HasFailure()) {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        const std::string path = std::string(info->test_suite_name()) + "." + info->name() + ".png";
        stbi_write_png(path.c_str(), kSize, kSize, 4, readFrame().data(), kSize * 4);
        std::cerr << "frame written to " << path << "\n";
    }
}

std::vector<Rgba> GlTest::readFrame() const
{
    const std::vector<std::uint8_t> bytes = target_.readRgba();
    std::vector<Rgba> frame(bytes.size() / 4);
    std::memcpy(frame.data(), bytes.data(), bytes.size());
    return frame;
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

std::string pngFile(int width, int height, int channels, const void* pixels)
{
    std::string file;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            static_cast<std::string*>(context)->append(static_cast<const char*>(data), std::size_t(size));
        },
        &file, width, height, channels, pixels, width * channels);
    return file;
}

bool near(const Rgba& a, const Rgba& b)
{
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::abs(a[i] - b[i]) > 2)
            return false;
    return true;
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
