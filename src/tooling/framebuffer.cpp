// Off-screen framebuffer; see framebuffer.hpp.
#include "tooling/framebuffer.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "show/picture.hpp"

Framebuffer::Framebuffer(int width, int height, Colour colour) : width_(width), height_(height)
{
    // The depth buffer is a renderbuffer either way; a texture has a limit of its own.
    GLint largest = 0;
    GLint largestTexture = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largestTexture);
    if (colour == Colour::Texture)
        largest = std::min(largest, largestTexture);
    if (width > largest || height > largest)
        throw std::runtime_error("the driver draws at most " + std::to_string(largest) + " pixels a side, not " +
                                 std::to_string(width) + "x" + std::to_string(height));
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    if (colour == Colour::Texture) {
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);  // read texel by texel, no mipmaps
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_, 0);
    } else {
        glGenRenderbuffers(1, &colour_);
        glBindRenderbuffer(GL_RENDERBUFFER, colour_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    }
    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth_);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        release();
        throw std::runtime_error("the off-screen framebuffer is incomplete");
    }
    glViewport(0, 0, width, height);
}

void Framebuffer::bind() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, width_, height_);
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
    glDeleteTextures(1, &texture_);
}

std::vector<std::uint8_t> Framebuffer::readRgba() const
{
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * 4;
    std::vector<std::uint8_t> rgba(rowBytes * static_cast<std::size_t>(height_));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    flipRows(rgba.data(), rowBytes, height_);
    return rgba;
}
