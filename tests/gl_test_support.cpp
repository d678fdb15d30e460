// Hidden-window GL fixture and read-back helpers; see gl_test_support.hpp.
#include "gl_test_support.hpp"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <stdexcept>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

void GlTest::SetUp()
{
    ASSERT_TRUE(glfwInit()) << "no display: the GL tests run under Xvfb (scripts/test)";
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window_ = glfwCreateWindow(width_, height_, "test", nullptr, nullptr);
    ASSERT_NE(window_, nullptr) << "no OpenGL 3.3 core context";
    glfwMakeContextCurrent(window_);
    ASSERT_NE(gladLoadGL(glfwGetProcAddress), 0);
    glViewport(0, 0, width_, height_);
}

void GlTest::TearDown()
{
    if (window_ != nullptr && HasFailure()) {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        const std::string path = std::string(info->test_suite_name()) + "." + info->name() + ".png";
        writeFramePng(path.c_str(), width_, height_, readFrame());
        std::cerr << "frame written to " << path << "\n";
    }
    glfwTerminate();
}

std::vector<Rgba> GlTest::readFrame() const
{
    glFinish();
    std::vector<Rgba> frame(static_cast<std::size_t>(width_) * height_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
    return frame;
}

Rgba GlTest::pixel(int x, int y) const
{
    glFinish();
    Rgba rgba{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

void writeFramePng(const char* path, int width, int height, const std::vector<Rgba>& frame)
{
    stbi_flip_vertically_on_write(1);  // OpenGL puts row 0 at the bottom, PNG at the top
    stbi_write_png(path, width, height, 4, frame.data(), width * 4);
}

std::string pngFile(int width, int height, int channels, const void* pixels)
{
    std::string file;
    stbi_flip_vertically_on_write(0);
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                                       static_cast<std::size_t>(size));
        },
        &file, width, height, channels, pixels, width * channels);
    return file;
}

bool near(const Rgba& a, const Rgba& b, int tolerance)
{
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::abs(a[i] - b[i]) > tolerance)
            return false;
    return true;
}

WorkDir::WorkDir() : previous_(std::filesystem::current_path())
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

CoutCapture::CoutCapture() : previous_(std::cout.rdbuf(captured_.rdbuf())) {}

CoutCapture::~CoutCapture()
{
    std::cout.rdbuf(previous_);
}
