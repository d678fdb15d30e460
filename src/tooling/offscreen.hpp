// Renders the show off-screen, for the programs that draw the demo's scenes without showing
// them (benchmarks, snapshots, tests): a GL context (a hidden window's on a display, one that
// needs no display without one) and a framebuffer at the asked size that takes the drawing,
// with the demo's GL state.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gl_context.hpp"
#include "tooling/framebuffer.hpp"

// An OpenGL 3.3 core context to draw off-screen in: a hidden window's when a display is named
// (DISPLAY or WAYLAND_DISPLAY) and can be opened, else one through EGL with no display at all.
// Throws std::runtime_error when neither can be had.
std::unique_ptr<GlContext> openOffscreenContext();

class OffscreenTarget {
public:
    // Opens the context and binds the framebuffer with depth testing on, as in the demo.
    // Throws std::runtime_error when there is no OpenGL 3.3 core context.
    OffscreenTarget(int width, int height);

    int width() const { return framebuffer_.width(); }
    int height() const { return framebuffer_.height(); }

    // Waits for the drawing to finish and reads it as tightly packed RGBA, top row first.
    std::vector<std::uint8_t> readRgba() const { return framebuffer_.readRgba(); }

private:
    std::unique_ptr<GlContext> context_;  // first made, last gone: the framebuffer lives in it
    Framebuffer framebuffer_;
};
