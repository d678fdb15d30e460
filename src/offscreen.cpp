// Off-screen rendering at a fixed size; see offscreen.hpp.
#include "offscreen.hpp"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "window.hpp"

OffscreenTarget::OffscreenTarget(int width, int height) : width_(width), height_(height)
{
    if (glfwInit() != GLFW_TRUE)
        throw std::runtime_error("no display to open an OpenGL context on");
    requestCoreContext();
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(64, 64, "", nullptr, nullptr);
    if (window == nullptr) {
        glfwTerminate();
        throw std::runtime_error("no OpenGL 3.3 core context");
    }
    glfwMakeContextCurrent(window);
    if (gladLoadGL(glfwGetProcAddress) == 0) {
        glfwTerminate();
        throw std::runtime_error("the OpenGL functions could not be loaded");
    }

    glGenRenderbuffers(1, &colour_);
    glBindRenderbuffer(GL_RENDERBUFFER, colour_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth_);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        glfwTerminate();
        throw std::runtime_error("the off-screen framebuffer is incomplete");
    }
    glViewport(0, 0, width, height);
    glEnable(GL_DEPTH_TEST);
}

OffscreenTarget::~OffscreenTarget()
{
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteRenderbuffers(1, &depth_);
    glDeleteRenderbuffers(1, &colour_);
    glfwTerminate();
}

std::vector<std::uint8_t> OffscreenTarget::readRgba() const
{
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * 4;
    std::vector<std::uint8_t> rgba(rowBytes * static_cast<std::size_t>(height_));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    // OpenGL puts row 0 at the bottom; pictures start at the top.
    std::vector<std::uint8_t> row(rowBytes);
    for (int y = 0; y < height_ / 2; ++y) {
        std::uint8_t* top = rgba.data() + static_cast<std::size_t>(y) * rowBytes;
        std::uint8_t* bottom = rgba.data() + static_cast<std::size_t>(height_ - 1 - y) * rowBytes;
        std::memcpy(row.data(), top, rowBytes);
        std::memcpy(top, bottom, rowBytes);
        std::memcpy(bottom, row.data(), rowBytes);
    }
    return rgba;
}

std::vector<std::uint8_t> downscaleRgba(const std::vector<std::uint8_t>& rgba, int width, int height,
                                        int toWidth, int toHeight)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(toWidth) * toHeight * 4);
    for (int oy = 0; oy < toHeight; ++oy) {
        const int y0 = oy * height / toHeight;
        const int y1 = std::max(y0 + 1, (oy + 1) * height / toHeight);
        for (int ox = 0; ox < toWidth; ++ox) {
            const int x0 = ox * width / toWidth;
            const int x1 = std::max(x0 + 1, (ox + 1) * width / toWidth);
            unsigned sum[4] = {0, 0, 0, 0};
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    for (int c = 0; c < 4; ++c)
                        sum[c] += rgba[(static_cast<std::size_t>(y) * width + x) * 4 + c];
            const unsigned count = static_cast<unsigned>((y1 - y0) * (x1 - x0));
            for (int c = 0; c < 4; ++c)
                out[(static_cast<std::size_t>(oy) * toWidth + ox) * 4 + c] =
                    static_cast<std::uint8_t>((sum[c] + count / 2) / count);
        }
    }
    return out;
}
