// Frame read-back through a ring of pixel-pack buffers: glReadPixels into one buffer returns
// without waiting for the copy, and a buffer is mapped only two frames later, when its copy
// is long done. Rows stay as OpenGL stores them, bottom first; the encoder flips them.
#pragma once

#include <glad/gl.h>

#include <cstddef>
#include <cstdint>

// The bytes of an RGBA frame of width x height, as the ring reads it.
inline std::size_t rgbaFrameBytes(int width, int height)
{
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

class PboRing {
public:
    static constexpr int kSize = 3;
    // Frames a buffer waits between its read and its mapping.
    static constexpr int kLag = kSize - 1;

    // Makes the buffers for RGBA frames of the current framebuffer's size.
    PboRing(int width, int height);
    ~PboRing();
    PboRing(const PboRing&) = delete;
    PboRing& operator=(const PboRing&) = delete;

    std::size_t frameBytes() const { return frameBytes_; }

    // Starts reading the current framebuffer into the buffer for frame n.
    void read(long frame);
    // Maps the buffer that frame n was read into; valid until unmap().
    const std::uint8_t* map(long frame);
    void unmap();

private:
    int width_;
    int height_;
    std::size_t frameBytes_;
    GLuint buffers_[kSize] = {};
};
