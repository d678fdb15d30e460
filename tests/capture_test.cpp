// demo-capture's logic without GL or ffmpeg: which frames a range holds and the time each
// is drawn at, the options it refuses, and the soundtrack cut from the looped tune at the
// capture's start, across the loop's seam.
#include <gtest/gtest.h>

#include <sndfile.h>
#include <stdlib.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "music_samples.hpp"
#include "options.hpp"
#include "soundtrack.hpp"

namespace {

bool parse(std::vector<std::string> args, CaptureOptions& options, std::string& error)
{
    return parseCaptureOptions(args, options, error);
}

TEST(CaptureOptions, DefaultsCoverTheWholeShowAt60FpsAndFullSize)
{
    CaptureOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--out", "show.mp4"}, options, error)) << error;
    EXPECT_EQ(options.firstFrame(), 0);
    EXPECT_EQ(options.endFrame(), 109 * 60);  // t = 109 itself is not captured
    EXPECT_EQ(options.width, 1920);
    EXPECT_EQ(options.height, 1080);
}

TEST(CaptureOptions, DecimalBoundsSelectTheFramesWhoseTimeLiesInTheRange)
{
    CaptureOptions options;
    std::string error;
    // 20.3 * 10 is 203.00000000000003 in binary: still frame 203, and 20.5 ends before 205.
    ASSERT_TRUE(parse({"--frames", "d", "--from", "20.3", "--to", "20.5", "--fps", "10"}, options, error));
    EXPECT_EQ(options.firstFrame(), 203);
    EXPECT_EQ(options.frameCount(), 2);
    // A bound between frames starts at the next one.
    ASSERT_TRUE(parse({"--frames", "d", "--from", "0.01", "--to", "0.1", "--fps", "30"}, options, error));
    EXPECT_EQ(options.firstFrame(), 1);
    EXPECT_EQ(options.endFrame(), 3);
}

TEST(CaptureOptions, FrameTimeIsTheExactQuotientNarrowedOnce)
{
    // 1/3 s computed in double then narrowed, not 1.0f / 3.0f accumulated.
    EXPECT_EQ(frameTime(1, 3), static_cast<float>(1.0 / 3.0));
    EXPECT_EQ(frameTime(6539, 60), static_cast<float>(6539.0 / 60.0));
    EXPECT_EQ(frameTime(1200, 60), 20.0f);
}

TEST(CaptureOptions, RefusesBadOptionsWithAReason)
{
    const std::vector<std::vector<std::string>> bad = {
        {},                                              // no output
        {"--out", "a.mp4", "--frames", "d"},             // two outputs
        {"--out", "a.mp4", "--fps"},                     // missing value
        {"--out", "a.mp4", "--fps", "0"},
        {"--out", "a.mp4", "--fps", "30x"},
        {"--out", "a.mp4", "--fps", "-5"},
        {"--out", "a.mp4", "--size", "320"},
        {"--out", "a.mp4", "--size", "321x180"},         // odd: no yuv420p
        {"--out", "a.mp4", "--size", "0x0"},
        {"--out", "a.mp4", "--from", "abc"},
        {"--out", "a.mp4", "--from", "5", "--to", "5"},
        {"--out", "a.mp4", "--to", "110"},
        {"--out", "a.mp4", "--from", "-1"},
        {"--out", "a.mp4", "--from", "1.01", "--to", "1.02", "--fps", "10"},  // no frame inside
        {"--out", "a.mp4", "--verbose"},
    };
    for (const std::vector<std::string>& args : bad) {
        CaptureOptions options;
        std::string error;
        EXPECT_FALSE(parse(args, options, error)) << ::testing::PrintToString(args);
        EXPECT_FALSE(error.empty()) << ::testing::PrintToString(args);
    }
    CaptureOptions options;
    std::string error;
    EXPECT_TRUE(parse({"--frames", "d", "--size", "321x181"}, options, error)) << "PNGs take any size";
}

class CaptureSoundtrack : public testing::Test {
protected:
    static constexpr int kRate = 8000;
    static constexpr int kLoopFrames = 4000;  // half a second

    void SetUp() override
    {
        ASSERT_NE(mkdtemp(dir_), nullptr);
        ASSERT_TRUE(samples::writePattern(path("tune.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kRate,
                                          kLoopFrames));
    }
    void TearDown() override { ASSERT_EQ(std::system(("rm -rf " + std::string(dir_)).c_str()), 0); }
    std::string path(const std::string& name) const { return std::string(dir_) + "/" + name; }

    // The written file's frames, left channel, as the pattern's 16-bit values.
    std::vector<int> leftChannel(const std::string& file, SF_INFO& info) const
    {
        SNDFILE* in = sf_open(file.c_str(), SFM_READ, &info);
        EXPECT_NE(in, nullptr);
        std::vector<float> frames(static_cast<std::size_t>(info.frames * info.channels));
        sf_readf_float(in, frames.data(), info.frames);
        sf_close(in);
        std::vector<int> left;
        for (std::size_t i = 0; i < frames.size(); i += static_cast<std::size_t>(info.channels))
            left.push_back(static_cast<int>(frames[i] * 32768.0f));
        return left;
    }

private:
    char dir_[32] = "/tmp/capture_test_XXXXXX";
};

TEST_F(CaptureSoundtrack, StartsAtTheCapturesTimeIntoTheLoopAndRunsItsLength)
{
    // From 0.3 s for 0.4 s: frames 2400 .. 5599 of the endless loop, across the seam at 4000.
    writeSoundtrack(path("tune.wav").c_str(), 0.3, 0.4, path("out.wav"));
    SF_INFO info{};
    const std::vector<int> left = leftChannel(path("out.wav"), info);
    EXPECT_EQ(info.samplerate, kRate);
    EXPECT_EQ(info.channels, 2);
    ASSERT_EQ(left.size(), 3200u);
    for (int i = 0; i < 3200; ++i)
        ASSERT_EQ(left[static_cast<std::size_t>(i)], samples::patternLeft((2400 + i) % kLoopFrames)) << i;
}

TEST_F(CaptureSoundtrack, AStartManyLoopsInKeepsThePhase)
{
    writeSoundtrack(path("tune.wav").c_str(), 100.25, 0.01, path("out.wav"));
    SF_INFO info{};
    const std::vector<int> left = leftChannel(path("out.wav"), info);
    ASSERT_EQ(left.size(), 80u);
    EXPECT_EQ(left[0], samples::patternLeft(802000 % kLoopFrames));
}

TEST_F(CaptureSoundtrack, AnUnreadableTuneOrDestinationThrowsNamingTheFile)
{
    EXPECT_THROW(writeSoundtrack(path("none.wav").c_str(), 0.0, 1.0, path("out.wav")), std::runtime_error);
    try {
        writeSoundtrack(path("tune.wav").c_str(), 0.0, 1.0, path("no/such/dir/out.wav"));
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("no/such/dir/out.wav"), std::string::npos) << error.what();
    }
}

}  // namespace
