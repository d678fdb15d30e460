// The studio's heads-up display, drawn with Dear ImGui over the show: the time (seconds and
// frame), the scene, play state and speed, where the music is heard, frame times, the latest
// reload, a timeline of the whole schedule with the scenes, the black gaps, the loop span, the
// time on it (dragging on it seeks) and where the show flashes more than it may, the lanes of
// the show's tracks under it (lanes.hpp), and the problems the data have now. A preview is
// marked on screen even with it hidden.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "clock.hpp"
#include "lanes.hpp"
#include "music_follower.hpp"
#include "reloader.hpp"
#include "track_editor.hpp"
#include "tooling/flash_analyser.hpp"
#include "view.hpp"

struct GLFWwindow;

// What the flash check has found in the show so far, and how far it has gone.
struct FlashMarks {
    std::vector<FlashSpan> spans;
    double checkedTo = 0.0;  // seconds
};

class Hud {
public:
    // Takes over the window's input callbacks, passing each event on to the one set before.
    Hud(GLFWwindow* window, bool shown);
    ~Hud();
    Hud(const Hud&) = delete;
    Hud& operator=(const Hud&) = delete;

    void toggle() { shown_ = !shown_; }
    // The time from one shown frame to the next, for the readout and the graph.
    void noteFrameTime(double milliseconds);

    // Draws over the window's framebuffer, carrying out the edits made on the lanes; returns the
    // time to seek to while the timeline is dragged.
    std::optional<double> draw(const LiveClock& clock, const ShowView& view, const Reloader& reloader,
                               const MusicFollower& music, const FlashMarks& flashes, TrackEditor& tracks);
    // Deletes the key last touched on the lanes.
    void deleteTouchedKey(TrackEditor& tracks) { lanes_.deleteTouched(tracks); }
    // Where the mouse's left button went down, in the window's coordinates.
    void notePress(double x, double y) { lanes_.notePress(static_cast<float>(x), static_cast<float>(y)); }

private:
    static constexpr std::size_t kFrameTimes = 120;

    bool shown_;
    Lanes lanes_;
    std::array<float, kFrameTimes> frameTimes_{};
    std::size_t nextFrameTime_ = 0;
};
