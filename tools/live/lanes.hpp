// The studio's track lanes, drawn with Dear ImGui under the heads-up display's timeline: one
// lane a track, its curve and keys over the whole show on the timeline's scale, its name and
// its value at the playhead. A click on a lane adds a key at the playhead, snapped to the tune's
// beats (Shift frees it); a key is dragged in time (snapped likewise) and in value, right-
// clicked for its ease or to delete it, and Delete deletes the one last touched. Each edit goes
// to the track editor, which saves it; the lane shows a drag as it goes and saves it on release.
#pragma once

#include <imgui.h>

#include <optional>

#include "clock.hpp"
#include "track_editor.hpp"

class Lanes {
public:
    // The lanes' height each, in pixels.
    static constexpr float kLaneHeight = 22.0f;

    // Draws one lane a track of the editor's across the window's content width, and carries
    // out what the mouse does on them.
    void draw(const LiveClock& clock, TrackEditor& editor);
    // Deletes the key last touched, if any (the Delete key).
    void deleteTouched(TrackEditor& editor);
    // Where the mouse's button went down, in the window: a key is taken where it was pressed,
    // though on a slow frame the pointer has moved on by the time the press is drawn.
    void notePress(float x, float y) { pressedAt_ = ImVec2(x, y); }

private:
    struct Touched {
        std::size_t lane;
        std::size_t key;
    };
    // A key held by the mouse: which, which of its components moves with the mouse's height,
    // the value range of its lane when it was taken (held while it moves), and where it is now.
    struct Drag {
        Touched at;
        std::size_t component;
        float low;
        float high;
        TrackKey key;
        bool moved = false;
    };

    std::optional<Touched> touched_;
    std::optional<Drag> drag_;
    std::optional<Touched> menu_;  // the key whose ease menu is open
    ImVec2 pressedAt_;
};
