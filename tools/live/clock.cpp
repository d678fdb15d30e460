// The studio's timeline; see clock.hpp.
#include "clock.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Speeds are 2 to the power of a step, 0.25x to 4x.
constexpr int kSlowestStep = -2;
constexpr int kFastestStep = 2;

// A time that is a frame of the grid, give or take the rounding of its sum or product, counts
// as that frame.
constexpr double kOnTheGrid = 1e-6;

double withinSchedule(double seconds)
{
    return std::clamp(seconds, 0.0, kScheduleSeconds);
}

}  // namespace

LiveClock::LiveClock(double at, bool playing)
    : time_(withinSchedule(at)), playing_(playing), speedStep_(0), cueTime_(time_)
{
}

double LiveClock::speed() const
{
    return std::ldexp(1.0, speedStep_);
}

std::int64_t LiveClock::frame() const
{
    return static_cast<std::int64_t>(std::floor(time_ * kStudioFps + kOnTheGrid));
}

void LiveClock::advance(double seconds)
{
    if (!playing_)
        return;
    const double next = time_ + seconds * speed();
    if (loop_.on && time_ < loop_.out && next >= loop_.out)
        jumpTo(loop_.in);
    else if (next > kScheduleSeconds)
        jumpTo(0.0);  // the schedule's end: the studio starts the show again rather than ending
    else
        time_ = next;
}

void LiveClock::setPlaying(bool playing)
{
    if (playing && !playing_)
        cue();
    playing_ = playing;
}

void LiveClock::seek(double seconds)
{
    jumpTo(withinSchedule(seconds));
}

void LiveClock::step(int frames)
{
    playing_ = false;
    const double grid = time_ * kStudioFps;
    const double from = frames > 0 ? std::floor(grid + kOnTheGrid) : std::ceil(grid - kOnTheGrid);
    jumpTo(withinSchedule((from + frames) / kStudioFps));
}

void LiveClock::faster()
{
    speedStep_ = std::min(speedStep_ + 1, kFastestStep);
}

void LiveClock::slower()
{
    speedStep_ = std::max(speedStep_ - 1, kSlowestStep);
}

void LiveClock::setIn()
{
    loop_.in = time_;
    if (loop_.out <= loop_.in)
        loop_.out = kScheduleSeconds;
}

void LiveClock::setOut()
{
    loop_.out = time_;
    if (loop_.in >= loop_.out)
        loop_.in = 0.0;
}

void LiveClock::cue()
{
    cueTime_ = time_;
    ++cues_;
}

void LiveClock::jumpTo(double seconds)
{
    time_ = seconds;
    cue();
}

double sceneStart(Cue scene)
{
    for (const SceneSpan& span : kDemoTimeline) {
        if (span.scene != scene)
            continue;
        const float start = std::max(span.start, 0.0f);
        // An open start is not drawn itself: the scene begins with the next representable time.
        return static_cast<double>(
            span.startIsOpen ? std::nextafter(start, std::numeric_limits<float>::infinity()) : start);
    }
    return 0.0;
}
