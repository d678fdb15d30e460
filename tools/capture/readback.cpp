// The read-back ring; see readback.hpp.
#include "readback.hpp"

#include <stdexcept>

PboRing::PboRing(int width, int height)
    : width_(width), height_(height), frameBytes_(rgbaFrameBytes(width, height))
{
    glGenBuffers(kSize, buffers_);
    for (GLuint buffer : buffers_) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(frameBytes_), nullptr, GL_STREAM_READ);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
}

PboRing::~PboRing()
{
    glDeleteBuffers(kSize, buffers_);
}

void PboRing::read(long frame)
{
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[frame % kSize]);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

const std::uint8_t* PboRing::map(long frame)
{
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[frame % kSize]);
    const void* pixels = glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0, static_cast<GLsizeiptr>(frameBytes_),
                                          GL_MAP_READ_BIT);
    if (pixels == nullptr)
        throw std::runtime_error("cannot map a read-back buffer (GL error " + std::to_string(glGetError()) + ")");
    return static_cast<const std::uint8_t*>(pixels);
}

void PboRing::unmap()
{
    glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}
