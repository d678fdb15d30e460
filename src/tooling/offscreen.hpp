// Renders the show off-screen, for the programs that draw the demo's scenes without showing
// them (benchmarks, snapshots, tests): a GL context (a hidden window's on a display, one that
// needs no display without one) and a framebuffer at the asked size that takes the drawing,
// with the demo's GL state; supersampled, the drawing goes to a larger one filtered down into it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gl_context.hpp"
#include "tooling/framebuffer.hpp"
#include "tooling/supersampler.hpp"

// An OpenGL 3.3 core context to draw off-screen in: a hidden window's when a display is named
// (DISPLAY or WAYLAND_DISPLAY) and can be opened, else one through EGL with no display at all.
// Throws std::runtime_error when neither can be had.
std::unique_ptr<GlContext> openOffscreenContext();

// The largest picture the tools draw, 8K UHD (the largest video the platforms take), and the
// most supersampling they do.
inline constexpr int kMaxPictureWidth = 7680;
inline constexpr int kMaxPictureHeight = 4320;
inline constexpr int kMaxSupersample = 4;
// Why a picture of width x height drawn at `supersample` times that each way can't be asked
// for, or empty when it can. Checked before any context exists, so that a command line is
// answered at once; a driver that draws less than asked says so when the target is made.
std::string pictureSizeProblem(int width, int height, int supersample);

class OffscreenTarget {
public:
    // Opens the context and binds the framebuffer with depth testing on, as in the demo; with
    // a `supersample` factor above 1, frames are drawn at that many times the size each way and
    // filtered down (supersampler.hpp). Throws std::runtime_error when there is no OpenGL 3.3
    // core context or no target of that size.
    OffscreenTarget(int width, int height, int supersample = 1);

    int width() const { return framebuffer_.width(); }
    int height() const { return framebuffer_.height(); }

    // Around the drawing of each frame: binds where it is drawn, then filters it down into the
    // picture's framebuffer when supersampling, which is left bound for reading.
    void beginFrame() const;
    void endFrame() const;

    // Waits for the drawing to finish and reads it as tightly packed RGBA, top row first.
    std::vector<std::uint8_t> readRgba() const { return framebuffer_.readRgba(); }

private:
    std::unique_ptr<GlContext> context_;  // first made, last gone: the framebuffer lives in it
    Framebuffer framebuffer_;
    std::unique_ptr<Supersampler> supersampler_;
};
