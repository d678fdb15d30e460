// The schedule at and around each of its bounds, in the single precision the loop uses,
// including double-precision clock readings that round onto a bound.
#include <gtest/gtest.h>

#include <cmath>

#include "timeline.hpp"

namespace {

float below(float bound) { return std::nextafter(bound, 0.0f); }
float above(float bound) { return std::nextafter(bound, 1000.0f); }

// What the frame loop does with a reading of the double-precision clock.
Cue cueForClock(double seconds) { return demoTimeline(static_cast<float>(seconds)); }

TEST(DemoTimeline, EachBoundAndItsNeighbours)
{
    EXPECT_EQ(demoTimeline(0.0f), Cue::Scene1);
    EXPECT_EQ(demoTimeline(below(9.0f)), Cue::Scene1);
    EXPECT_EQ(demoTimeline(9.0f), Cue::Black);
    EXPECT_EQ(demoTimeline(9.5f), Cue::Black);
    EXPECT_EQ(demoTimeline(below(10.0f)), Cue::Black);
    EXPECT_EQ(demoTimeline(10.0f), Cue::Scene2);
    EXPECT_EQ(demoTimeline(below(45.0f)), Cue::Scene2);
    EXPECT_EQ(demoTimeline(45.0f), Cue::Black);
    EXPECT_EQ(demoTimeline(45.5f), Cue::Black);
    EXPECT_EQ(demoTimeline(46.0f), Cue::Black);
    EXPECT_EQ(demoTimeline(above(46.0f)), Cue::Scene3);
    EXPECT_EQ(demoTimeline(below(109.0f)), Cue::Scene3);
}

TEST(DemoTimeline, TheEndComesOnlyAfter109)
{
    EXPECT_EQ(demoTimeline(109.0f), Cue::Black);
    EXPECT_EQ(demoTimeline(above(109.0f)), Cue::End);
    EXPECT_EQ(demoTimeline(1e6f), Cue::End);
    EXPECT_EQ(demoTimeline(std::numeric_limits<float>::infinity()), Cue::End);
}

TEST(DemoTimeline, ClockReadingsThatRoundOntoABoundCountAsTheBound)
{
    // Just below 9 in double precision, but 9 once narrowed: no longer scene 1.
    const double justBelowNine = 9.0 - 1e-7;
    ASSERT_LT(justBelowNine, 9.0);
    ASSERT_EQ(static_cast<float>(justBelowNine), 9.0f);
    EXPECT_EQ(cueForClock(justBelowNine), Cue::Black);

    EXPECT_EQ(cueForClock(10.0 - 1e-7), Cue::Scene2);
    EXPECT_EQ(cueForClock(45.0 - 1e-7), Cue::Black);
    EXPECT_EQ(cueForClock(46.0 + 1e-7), Cue::Black);  // rounds back down onto 46
    EXPECT_EQ(cueForClock(109.0 + 1e-6), Cue::Black);  // still 109 in single precision
    EXPECT_EQ(cueForClock(109.0 + 1e-5), Cue::End);
}

TEST(DemoTimeline, EveryFrameOfTheShowDrawsAtMostOneScene)
{
    // Walk the whole show in millisecond steps: the spans never overlap and arrive in order.
    Cue last = Cue::Scene1;
    int changes = 0;
    for (int ms = 0; ms <= 110000; ++ms) {
        const Cue cue = cueForClock(ms / 1000.0);
        if (cue != last)
            ++changes;
        last = cue;
    }
    // Scene1, Black, Scene2, Black, Scene3, Black (at exactly 109), End.
    EXPECT_EQ(changes, 6);
    EXPECT_EQ(last, Cue::End);
}

}  // namespace
