// The sound engine on a real OpenAL Soft device, in process: the wave-file output, at the
// tune's rate as 32-bit float with nothing that alters a sample, records exactly what was
// played, so a counter tune whose every frame names its place shows where each play, seek,
// pause and resume landed, to the frame. Waits poll the engine's position or the recording's size.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>

#include "sound_engine.hpp"
#include "music_samples.hpp"

namespace {

constexpr int kRate = 48000;
constexpr std::uint64_t kLoop = 30000;
constexpr std::uint64_t kHeard = 4800;  // each stretch plays this long at least (0.1 s)
constexpr std::size_t kFrameBytes = 2 * sizeof(float);

class SoundEngineOnWaveOutput : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(mkdtemp(dir_.data()), nullptr);
        tune_ = dir_ + "/tune.wav";
        conf_ = dir_ + "/alsoft.conf";
        recording_ = dir_ + "/recording.wav";
        ASSERT_TRUE(samples::writeCounter(tune_, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kRate, long(kLoop)));
        std::ofstream(conf_) << "[general]\ndrivers = wave\nfrequency = " << kRate
                             << "\nchannels = stereo\nsample-type = float32\noutput-limiter = false\ndither = false\n"
                                "hrtf = false\n[wave]\nfile = "
                             << recording_ << '\n';
        // OpenAL Soft reads these once, at its first call in the process.
        setenv("ALSOFT_CONF", conf_.c_str(), 1);
        unsetenv("ALSOFT_DRIVERS");
    }

    void TearDown() override { EXPECT_EQ(std::system(("rm -rf " + dir_).c_str()), 0); }

    // Polls until the condition holds; false after a time no healthy run comes near.
    static bool waitFor(const std::function<bool()>& condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    // Until `count` frames from `from` have been heard (the position before a seek is carried
    // out may lie anywhere), checking that from there on it never goes back: a read across the
    // streaming thread's unqueue would go back a buffer.
    static bool heardFrom(const SoundEngine& engine, std::uint64_t from, std::uint64_t count)
    {
        bool arrived = false;
        std::uint64_t last = 0;
        return waitFor([&] {
            const std::uint64_t ahead = (engine.position() + kLoop - from) % kLoop;
            arrived = arrived || ahead < kLoop / 2;
            if (!arrived)
                return false;
            EXPECT_GE(ahead, last) << "went back from frame " << (from + last) % kLoop;
            last = ahead;
            return ahead >= count;
        });
    }

    // While the device records on, until it has recorded `frames` more.
    bool recorded(std::uint64_t frames) const
    {
        const auto size = [this] {
            struct stat st {};
            return stat(recording_.c_str(), &st) == 0 ? std::uint64_t(st.st_size) : 0;
        };
        const std::uint64_t start = size();
        return waitFor([&] { return size() >= start + frames * kFrameBytes; });
    }

    // The recording as runs of the tune, silence skipped; a frame that is neither fails.
    std::vector<samples::Run> runs() const
    {
        const std::vector<float> recording = samples::readStereo(recording_);
        long bad = 0;
        std::vector<samples::Run> found = samples::counterRuns(recording, long(kLoop), bad);
        EXPECT_EQ(bad, long(recording.size() / 2)) << "a recorded frame that is neither silence nor the tune";
        found.erase(std::remove_if(found.begin(), found.end(), [](const samples::Run& run) { return run.first < 0; }),
                    found.end());
        return found;
    }

    std::string dir_ = testing::TempDir() + "sound_engine_XXXXXX";
    std::string tune_, conf_, recording_;
};

TEST_F(SoundEngineOnWaveOutput, PlaysSeeksPausesAndResumesFromTheExactFrame)
{
    constexpr std::uint64_t kFrom = 5000, kSeekTo = 20000, kPausedSeekTo = 1000, kReplayFrom = 12345;
    std::uint64_t held = 0;
    {
        const std::unique_ptr<SoundEngine> engine = SoundEngine::open();
        ASSERT_NE(engine, nullptr);
        engine->play(tune_.c_str(), kFrom);
        ASSERT_TRUE(heardFrom(*engine, kFrom, kHeard));

        engine->seek(kSeekTo);
        ASSERT_TRUE(heardFrom(*engine, kSeekTo, kHeard));

        // Paused, the stream holds still while the device plays on in silence.
        engine->pause();
        ASSERT_TRUE(recorded(kHeard));
        held = engine->position();
        ASSERT_TRUE(recorded(kHeard));
        EXPECT_EQ(engine->position(), held);
        engine->resume();
        ASSERT_TRUE(heardFrom(*engine, held, kHeard));

        // A seek while paused, past the loop's end: reported at once, heard on resuming.
        engine->pause();
        engine->seek(3 * kLoop + kPausedSeekTo);
        ASSERT_TRUE(waitFor([&] { return engine->position() == kPausedSeekTo; }));
        ASSERT_TRUE(recorded(kHeard));
        EXPECT_EQ(engine->position(), kPausedSeekTo);
        engine->resume();
        ASSERT_TRUE(heardFrom(*engine, kPausedSeekTo, kHeard));

        // play() replaces the stream, from its own frame.
        engine->play(tune_.c_str(), kLoop + kReplayFrom);
        ASSERT_TRUE(heardFrom(*engine, kReplayFrom, kHeard));
    }  // closing the device completes the recording

    const std::vector<samples::Run> got = runs();
    ASSERT_EQ(got.size(), 5u);
    const std::uint64_t firsts[] = {kFrom, kSeekTo, held, kPausedSeekTo, kReplayFrom};
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(std::uint64_t(got[i].first), firsts[i]) << "run " << i;
        EXPECT_GE(std::uint64_t(got[i].length), kHeard) << "run " << i;
    }
    EXPECT_EQ(std::uint64_t(got[1].first + got[1].length) % kLoop, held) << "resumed where it paused";
}

}  // namespace
