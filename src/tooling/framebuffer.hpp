// A framebuffer object of a fixed size with a colour and a depth-stencil buffer, in whatever
// context is current: the drawing surface of the programs that render the show off-screen,
// at whatever size they draw it (the show's 1920x1080, the flash check's 320x180...) whatever
// window (if any) they have.
#pragma once

#include <glad/gl.h>

#include <cstdint>
#include <vector>

class Framebuffer {
public:
    // Where the colour goes: a renderbuffer, or a texture that a later pass samples.
    enum class Colour { Renderbuffer, Texture };

    // Makes the buffers and binds the framebuffer with a viewport over all of it. Throws
    // std::runtime_error when the driver can't complete it.
    Framebuffer(int width, int height, Colour colour = Colour::Renderbuffer);
    ~Framebuffer();
    Framebuffer(const Framebuffer&) = delete;
    Framebuffer& operator=(const Framebuffer&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    GLuint name() const { return framebuffer_; }
    GLuint colourTexture() const { return texture_; }  // 0 unless made with Colour::Texture
    // Binds it for drawing and reading, the viewport over all of it.
    void bind() const;

    // Waits for the drawing to finish and reads it as tightly packed RGBA, top row first.
    std::vector<std::uint8_t> readRgba() const;

private:
    void release();

    int width_;
    int height_;
    GLuint framebuffer_ = 0;
    GLuint colour_ = 0;
    GLuint texture_ = 0;
    GLuint depth_ = 0;
};
