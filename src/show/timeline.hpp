// The show's schedule: which scene a frame at demo time t draws, or whether the show is over.
// A constant table and a pure function of the single-precision time, so it is tested
// without a window and every bound is compared exactly as the frame loop compares it.
#pragma once

#include <limits>

enum class Cue { Black, Scene1, Scene2, Scene3, End };

struct SceneSpan {
    Cue scene;
    float start;      // first time of the span, or just after it when startIsOpen
    bool startIsOpen;
    float end;        // always open: the span stops just before it
};

// t == kDemoEnd is still a (black) frame; the first frame after it ends the show.
inline constexpr float kDemoEnd = 109.0f;

// Bounds in seconds from window-library initialisation. The gaps between the spans
// (9 to 10 and 45 to 46, both ends of the second included) stay black.
inline constexpr SceneSpan kDemoTimeline[] = {
    {Cue::Scene1, -std::numeric_limits<float>::infinity(), false, 9.0f},
    {Cue::Scene2, 10.0f, false, 45.0f},
    {Cue::Scene3, 46.0f, true, kDemoEnd},
};

Cue demoTimeline(float t);

// A scene's number as people count them: 1 for Cue::Scene1, and on.
constexpr int sceneNumber(Cue scene)
{
    return static_cast<int>(scene) - static_cast<int>(Cue::Scene1) + 1;
}
