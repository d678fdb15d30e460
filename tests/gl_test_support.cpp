// Hidden-window GL fixture and read-back helpers; see gl_test_support.hpp.
#include "gl_test_support.hpp"

#include <cstdlib>
#include <string>

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

bool near(const Rgba& a, const Rgba& b, int tolerance)
{
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::abs(a[i] - b[i]) > tolerance)
            return false;
    return true;
}
