// demo-capture's logic without GL or ffmpeg: which frames a range holds and the time each
// is drawn at, the options it refuses, and the soundtrack cut from the looped tune at the
// capture's start, across the loop's seam.
#include <gtest/gtest.h>

#include <sndfile.h>
#include <stdlib.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "music_samples.hpp"
#include "options.hpp"
#include "soundtrack.hpp"

namespace {

TEST(CaptureOptions, RangesSelectTheFramesWhoseTimeLiesInThem)
{
    const struct {
        std::vector<std::string> args;
        long first, end;
    } kCases[] = {
        {{"--out", "show.mp4"}, 0, 109 * 60},  // the whole show at 60 fps; t = 109 is not captured
        // 20.3 * 10 is 203.00000000000003 in binary: still frame 203, and 20.5 ends before 205.
        {{"--frames", "d", "--from", "20.3", "--to", "20.5", "--fps", "10"}, 203, 205},
        {{"--frames", "d", "--from", "0.01", "--to", "0.1", "--fps", "30"}, 1, 3},  // starts at the next frame
    };
    for (const auto& c : kCases) {
        CaptureOptions options;
        std::string error;
        ASSERT_TRUE(parseCaptureOptions(c.args, options, error)) << error;
        EXPECT_EQ(options.firstFrame(), c.first) << testing::PrintToString(c.args);
        EXPECT_EQ(options.endFrame(), c.end) << testing::PrintToString(c.args);
        EXPECT_EQ(std::pair(options.width, options.height), std::pair(1920, 1080)) << "full size by default";
    }
    // The exact quotient narrowed once, not 1.0f / fps accumulated.
    EXPECT_EQ(frameTime(1, 3), static_cast<float>(1.0 / 3.0));
    EXPECT_EQ(frameTime(6539, 60), static_cast<float>(6539.0 / 60.0));
}

TEST(CaptureOptions, RefusesBadOptionsWithAReason)
{
    const std::vector<std::vector<std::string>> bad = {
        {},                                              // no output
        {"--out", "a.mp4", "--frames", "d"},             // two outputs
        {"--out", "a.mp4", "--fps"},                     // missing value
        {"--out", "a.mp4", "--fps", "30x"},
        {"--out", "a.mp4", "--size", "321x180"},         // odd: no yuv420p
        {"--out", "a.mp4", "--from", "5", "--to", "5"},
        {"--out", "a.mp4", "--to", "110"},
        {"--out", "a.mp4", "--from", "1.01", "--to", "1.02", "--fps", "10"},  // no frame inside
        {"--out", "a.mp4", "--size", "7682x4320"},       // past 8K
        {"--out", "a.mp4", "--size", "3840x2160", "--supersample", "5"},
        {"--frames", "d", "--loudness", "-14"},          // no video to bring to it
        {"--join", "--out", "a.mp4", "--from", "2", "p.mkv"},  // the parts carry their range
        {"--join", "p.mkv", "q.mkv"},                    // nowhere to join them
    };
    for (const std::vector<std::string>& args : bad) {
        CaptureOptions options;
        std::string error;
        EXPECT_FALSE(parseCaptureOptions(args, options, error)) << testing::PrintToString(args);
        EXPECT_FALSE(error.empty()) << testing::PrintToString(args);
    }
    CaptureOptions options;
    std::string error;
    EXPECT_TRUE(parseCaptureOptions({"--frames", "d", "--size", "321x181"}, options, error)) << "PNGs take any size";
}

TEST(CaptureSoundtrack, StartsAtTheCapturesTimeIntoTheLoopAndRunsItsLength)
{
    constexpr int kRate = 8000, kLoopFrames = 4000;  // half a second
    char dir[] = "/tmp/capture_test_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string tune = std::string(dir) + "/tune.wav", out = std::string(dir) + "/out.wav";
    ASSERT_TRUE(samples::writeCounter(tune, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kRate, kLoopFrames));
    // From 0.3 s for 0.4 s crosses the seam at frame 4000; from 100.25 s keeps the phase.
    for (const auto& [from, seconds] : {std::pair{0.3, 0.4}, std::pair{100.25, 0.01}}) {
        writeSoundtrack(tune.c_str(), from, seconds, out);
        SF_INFO info{};
        SNDFILE* in = sf_open(out.c_str(), SFM_READ, &info);
        ASSERT_NE(in, nullptr);
        std::vector<float> frames(std::size_t(info.frames * info.channels));
        sf_readf_float(in, frames.data(), info.frames);
        sf_close(in);
        EXPECT_EQ(info.samplerate, kRate);
        ASSERT_EQ(info.channels, 2);
        ASSERT_EQ(info.frames, std::lround(seconds * kRate)) << from;
        for (std::size_t i = 0; i < frames.size() / 2; ++i)
            ASSERT_EQ(samples::counterFrame(frames[2 * i], frames[2 * i + 1]), (std::lround(from * kRate) + long(i)) % kLoopFrames) << i;
    }
    // An unreadable tune or destination throws, naming the file.
    EXPECT_THROW(writeSoundtrack((std::string(dir) + "/none.wav").c_str(), 0.0, 1.0, out), std::runtime_error);
    try {
        writeSoundtrack(tune.c_str(), 0.0, 1.0, std::string(dir) + "/no/such/dir/out.wav");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("no/such/dir/out.wav"), std::string::npos) << error.what();
    }
    EXPECT_EQ(std::system(("rm -rf " + std::string(dir)).c_str()), 0);
}

}  // namespace
