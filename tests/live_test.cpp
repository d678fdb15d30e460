// demo-live's logic without a window: its clock (play and pause, seeks held to the schedule,
// the wrap at its end, frame steps on the 60 fps grid, the loop span), the tune's frame
// at a time of the show, and the options it refuses.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "clock.hpp"
#include "options.hpp"
#include "sound/tune_position.hpp"

namespace {

TEST(LiveClock, PlaysOnlyWhenPlayingAndHoldsSeeksToTheSchedule)
{
    LiveClock clock(20.0, false);
    clock.advance(1.0);
    EXPECT_EQ(clock.time(), 20.0) << "paused";
    // Each start of play and each jump cues the music from its own time; playing on does not.
    clock.setPlaying(true);
    clock.advance(0.5);
    EXPECT_EQ(clock.time(), 20.5);
    EXPECT_EQ(clock.cues(), 1u);
    EXPECT_EQ(clock.cueTime(), 20.0);

    clock.seek(-3.0);
    EXPECT_EQ(clock.time(), 0.0);
    clock.seek(500.0);
    EXPECT_EQ(clock.time(), 109.0);
    EXPECT_EQ(clock.cues(), 3u);
    EXPECT_EQ(clock.cueTime(), 109.0);

    // The frame at 109 is still shown; past it the show starts again.
    clock.advance(0.25);
    EXPECT_EQ(clock.time(), 0.0);
    EXPECT_EQ(clock.cues(), 4u);
    EXPECT_EQ(clock.cueTime(), 0.0);
}

TEST(LiveClock, StepsMoveAlongTheSixtyFramesASecondGridAndPause)
{
    LiveClock clock(20.0, true);
    EXPECT_EQ(clock.frame(), 1200);
    clock.step(1);
    EXPECT_FALSE(clock.playing());
    EXPECT_EQ(clock.frame(), 1201);
    clock.step(-1);
    clock.step(-1);
    EXPECT_EQ(clock.frame(), 1199);

    // From between two frames, a step lands on the next one or the one before, not further.
    clock.seek(20.01);
    clock.step(1);
    EXPECT_EQ(clock.frame(), 1201);
    clock.seek(20.01);
    clock.step(-1);
    EXPECT_EQ(clock.frame(), 1200);

    clock.seek(109.0);
    clock.step(1);
    EXPECT_EQ(clock.time(), 109.0);
}

TEST(LiveClock, ALoopSpanJumpsBackToItsStartWhenPlayReachesItsEnd)
{
    LiveClock clock(10.0, false);
    clock.setIn();
    clock.seek(12.0);
    clock.setOut();
    clock.toggleLoop();
    clock.seek(11.5);
    clock.setPlaying(true);
    clock.advance(0.4);
    EXPECT_DOUBLE_EQ(clock.time(), 11.9);
    clock.advance(0.2);
    EXPECT_EQ(clock.time(), 10.0);
    EXPECT_EQ(clock.cueTime(), 10.0);

    // Sought past its end, play goes on to the schedule's end and wraps to 0, not to the span.
    clock.seek(108.9);
    clock.advance(0.2);
    EXPECT_EQ(clock.time(), 0.0);
    clock.toggleLoop();
    clock.seek(11.9);
    clock.advance(0.2);
    EXPECT_DOUBLE_EQ(clock.time(), 12.1) << "loop off";

    // A point set beyond the other moves that one back to the schedule's bound.
    clock.seek(50.0);
    clock.setIn();
    EXPECT_EQ(clock.loop().in, 50.0);
    EXPECT_EQ(clock.loop().out, 109.0);
    clock.seek(30.0);
    clock.setOut();
    EXPECT_EQ(clock.loop().in, 0.0);
    EXPECT_EQ(clock.loop().out, 30.0);
}

TEST(TunePosition, TimeMapsToTheLoopedTunesFrameAsTheCaptureCutsIt)
{
    constexpr int kRate = 48000;
    constexpr std::uint64_t kLength = 29999;
    EXPECT_EQ(streamFrameAt(20.0, kRate), 960000u);
    EXPECT_EQ(streamFrameAt(0.29, kRate), 13920u) << "rounded, not truncated: 0.29 x 48000 is 13919.99...";
    EXPECT_EQ(streamFrameAt(-1.0, kRate), 0u);
    // Across the loop's join: the last frame of the tune, then its first again.
    EXPECT_EQ(tuneFrameAt((kLength - 1) / double(kRate), kRate, kLength), kLength - 1);
    EXPECT_EQ(tuneFrameAt(kLength / double(kRate), kRate, kLength), 0u);
    // Far past the tune's end.
    EXPECT_EQ(tuneFrameAt(46.0, kRate, kLength), 2208000u % kLength);
    EXPECT_EQ(tuneFrameAt(46.0, kRate, 0), 0u) << "no tune";
}

TEST(LiveOptions, BadOptionsAreRefusedWithAReason)
{
    LiveOptions options;
    std::string error;
    ASSERT_TRUE(parseLiveOptions({"--at", "20", "--paused", "--no-hud", "--preview-scale", "0.25"}, options, error));
    EXPECT_EQ(options.at, 20.0);
    EXPECT_TRUE(options.paused && !options.hud && options.preview && !options.fullscreen);
    EXPECT_EQ(options.previewScale, 0.25);

    const std::vector<std::vector<std::string>> kRefused = {
        {"--at"}, {"--at", "20s"}, {"--at", "110"}, {"--at", "nan"}, {"--preview-scale", "1.5"}, {"--data", ""}, {"20"}};
    for (const auto& args : kRefused) {
        error.clear();
        EXPECT_FALSE(parseLiveOptions(args, options, error)) << testing::PrintToString(args);
        EXPECT_FALSE(error.empty()) << testing::PrintToString(args);
    }
}

}  // namespace
