// The studio's keys and what they do to the clock and the view, and the note that input came,
// so that a paused studio shows its window again only when something happened.
#pragma once

#include <array>

#include "clock.hpp"
#include "track_editor.hpp"
#include "view.hpp"

struct GLFWwindow;
class Hud;

struct Studio {
    LiveClock& clock;
    ShowView& view;
    TrackEditor& tracks;
    Hud* hud = nullptr;
    double lastTick = 0.0;  // the window library's time the clock was last brought up to
    bool rerender = true;   // the show's frame must be rendered again (not only for a new time)
    bool input = true;      // an event came: the window must be drawn again
    std::array<double, 2> cursor{};  // the pointer, as its latest event left it
};

// Brings the clock up to the window library's time now. Done before anything acts on the clock
// (a key, a drag on the timeline), so that a seek or a start of play counts from its own moment,
// and at the top of each frame.
void catchUp(Studio& studio);

// Acts on a key press (or its repeat, for the keys that move in time).
void pressKey(Studio& studio, GLFWwindow* window, int key, int action, int mods);

// Routes the window's key events to pressKey and notes every input event. Set before the
// heads-up display takes over the callbacks, which it passes on to these.
void installControls(GLFWwindow* window, Studio& studio);
