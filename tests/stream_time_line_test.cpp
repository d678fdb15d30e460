// The sound engine's time-line without a device: where the music stands after seeks, pauses
// and resumes, across the loop's end, and before the time it was set at.
#include <gtest/gtest.h>

#include "sound/stream_time_line.hpp"

namespace {

using std::chrono::milliseconds;

TEST(StreamTimeLine, MovesAtTheFilesRateUnlessHeldAndWrapsAtTheLoop)
{
    const StreamTimeLine::Clock::time_point zero{};
    StreamTimeLine line{1000, 100, 0, zero, false};  // 10 s loop at 100 frames a second
    line.seek(950, zero);
    EXPECT_EQ(line.frameAt(zero + milliseconds(250)), 975u);
    EXPECT_EQ(line.frameAt(zero + milliseconds(1000)), 50u) << "across the loop's end";
    EXPECT_EQ(line.frameAt(zero - milliseconds(500)), 950u) << "before it was set";

    line.hold(true, zero + milliseconds(1000));
    line.hold(true, zero + milliseconds(3000));  // held again: still where the first hold left it
    EXPECT_EQ(line.frameAt(zero + milliseconds(9000)), 50u);
    line.hold(false, zero + milliseconds(9000));
    EXPECT_EQ(line.frameAt(zero + milliseconds(9500)), 100u) << "on from where it was held";
}

}  // namespace
