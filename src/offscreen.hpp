// Renders the show off-screen, for the programs that draw the demo's scenes without showing
// them (benchmarks, snapshots, tests): a hidden window holds an OpenGL 3.3 core context, and
// a framebuffer object at the show's own 1920x1080 takes the drawing.
#pragma once

#include <glad/gl.h>

#include <cstdint>
#include <vector>

class OffscreenTarget {
public:
    // Opens the context and binds the framebuffer with the demo's GL state (depth test on).
    // Throws std::runtime_error when there is no display or no OpenGL 3.3 core context.
    OffscreenTarget(int width, int height);
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }

    // Waits for the drawing to finish and reads it as tightly packed RGBA, top row first.
    std::vector<std::uint8_t> readRgba() const;

private:
    int width_;
    int height_;
    GLuint framebuffer_ = 0;
    GLuint colour_ = 0;
    GLuint depth_ = 0;
};

// Averages an RGBA picture down to a smaller size, each output pixel over its whole area.
std::vector<std::uint8_t> downscaleRgba(const std::vector<std::uint8_t>& rgba, int width, int height,
                                        int toWidth, int toHeight);
