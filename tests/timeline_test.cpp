// The schedule at and around each of its bounds, in the single precision the loop uses,
// including double-precision clock readings that round onto a bound.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "show/timeline.hpp"

namespace {

float below(float bound) { return std::nextafter(bound, 0.0f); }
float above(float bound) { return std::nextafter(bound, 1000.0f); }

// What the frame loop does with a reading of the double-precision clock.
Cue cueForClock(double seconds) { return demoTimeline(static_cast<float>(seconds)); }

TEST(DemoTimeline, EachBoundAndItsNeighbours)
{
    const std::pair<float, Cue> cases[] = {
        {0.0f, Cue::Scene1}, {below(9.0f), Cue::Scene1}, {9.0f, Cue::Black}, {9.5f, Cue::Black},
        {below(10.0f), Cue::Black}, {10.0f, Cue::Scene2}, {below(45.0f), Cue::Scene2}, {45.0f, Cue::Black},
        {45.5f, Cue::Black}, {46.0f, Cue::Black}, {above(46.0f), Cue::Scene3}, {below(109.0f), Cue::Scene3},
        {109.0f, Cue::Black}, {above(109.0f), Cue::End}, {1e6f, Cue::End},
        {std::numeric_limits<float>::infinity(), Cue::End},
    };
    for (const auto& [t, cue] : cases)
        EXPECT_EQ(demoTimeline(t), cue) << "at " << t;
}

TEST(DemoTimeline, ClockReadingsThatRoundOntoABoundCountAsTheBound)
{
    // Just below 9 in double precision, but 9 once narrowed: no longer scene 1.
    ASSERT_EQ(static_cast<float>(9.0 - 1e-7), 9.0f);
    EXPECT_EQ(cueForClock(9.0 - 1e-7), Cue::Black);
    EXPECT_EQ(cueForClock(10.0 - 1e-7), Cue::Scene2);
    EXPECT_EQ(cueForClock(45.0 - 1e-7), Cue::Black);
    EXPECT_EQ(cueForClock(46.0 + 1e-7), Cue::Black);  // rounds back down onto 46
    EXPECT_EQ(cueForClock(109.0 + 1e-6), Cue::Black);  // still 109 in single precision
    EXPECT_EQ(cueForClock(109.0 + 1e-5), Cue::End);
}

}  // namespace
