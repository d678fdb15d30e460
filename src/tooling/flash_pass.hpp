// The whole show as the flash analyser sees it: each frame of the schedule at 60 a second,
// rendered off-screen with the demo's own scene code and analysed. demo-check --flashes runs it
// through at once; demo-live runs it a few frames at a time after each reload, between its own
// frames, and marks on its timeline what it finds.
#pragma once

#include <cstdint>

#include "show/scenes.hpp"
#include "tooling/flash_analyser.hpp"
#include "tooling/framebuffer.hpp"

class FlashPass {
public:
    // A sixth of the show's size each way is enough: the rules are about the mean light of
    // large areas (a ninth of the screen, and a quarter of that, some 1,600 of these pixels),
    // which the show's detail, finer than one of them, only averages into. (At 480x270 the
    // show's worst second per region comes out the same, at twice the time.)
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 180;
    static constexpr double kFps = 60.0;

    // In the current OpenGL context, over the given scenes (kept by the caller).
    explicit FlashPass(const Scenes& scenes);

    // Renders and analyses up to `frames` more frames, leaving the framebuffer binding and the
    // viewport as it found them; true once the show is done.
    bool advance(long frames);
    bool done() const { return next_ >= total(); }
    long framesDone() const { return next_; }
    static long total();
    const FlashAnalyser& analyser() const { return analyser_; }

private:
    const Scenes& scenes_;
    Framebuffer target_;
    FlashAnalyser analyser_;
    long next_ = 0;
};
