// A frame drawn at N times the picture's size each way and filtered down to it on the GPU: each
// pixel the mean of its N x N samples in linear light (the sRGB values decoded, averaged and
// encoded again), the box filter of supersampling, so that edges come out smooth and neither
// darker nor lighter than the surfaces beside them.
#pragma once

#include <glad/gl.h>

#include "tooling/framebuffer.hpp"

class Supersampler {
public:
    // The large target for a picture of width x height, and the filter's program, in the
    // current context. Throws std::runtime_error when the driver can't make them.
    Supersampler(int width, int height, int factor);
    ~Supersampler();
    Supersampler(const Supersampler&) = delete;
    Supersampler& operator=(const Supersampler&) = delete;

    // Binds the large target for drawing.
    void bind() const { large_.bind(); }
    // Filters what was drawn into `picture`, a framebuffer of the picture's size, and leaves
    // that bound. The GL state the scenes rely on (depth testing) is as it was.
    void resolveInto(const Framebuffer& picture) const;

private:
    int factor_;
    Framebuffer large_;
    GLuint program_ = 0;
    GLuint vertexArray_ = 0;
    GLint factorLocation_ = -1;
};
