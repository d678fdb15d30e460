// Off-screen framebuffer; see framebuffer.hpp.
#include "framebuffer.hpp"

#include <cstring>
#include <stdexcept>

Framebuffer::Framebuffer(int width, int height) : width_(width), height_(height)
{
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
        release();
        throw std::runtime_error("the off-screen framebuffer is incomplete");
    }
    glViewport(0, 0, width, height);
}

Framebuffer::~Framebuffer()
{
    release();
}

void Framebuffer::release()
{
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteRenderbuffers(1, &depth_);
    glDeleteRenderbuffers(1, &colour_);
}

std::vector<std::uint8_t> Framebuffer::readRgba() const
{
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * 4;
    std::vector<std::uint8_t> rgba(rowBytes * static_cast<std::size_t>(height_));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
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
