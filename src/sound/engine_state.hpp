// What the sound engine shares with its streaming thread, for those two alone
// (sound_engine.cpp and music_stream.cpp): OpenAL's objects, the commands, and where the
// queue stands, all passed through atomics and a wake-up; and the thread's work.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

#include "platform/wake_up.hpp"
#include "sound/music_reader.hpp"
#include "sound/sound_device.hpp"
#include "sound/sound_engine.hpp"
#include "sound/stream_time_line.hpp"

// No seek is due: a seek target is already reduced to the loop, so this can't be one.
inline constexpr std::uint64_t kNoSeek = std::numeric_limits<std::uint64_t>::max();

struct SoundEngine::State {
    // Opened by open(), then while the thread runs only by it (it closes a lost device and
    // opens another). Closed while lost, which `lost` tells position().
    SoundDevice device;
    std::atomic<bool> lost{false};
    bool quiet = true;  // the user didn't ask for OpenAL Soft's log: devices open with stderr muted
    WakeUp wakeUp;
    std::thread streamer;

    // Commands, set before the wake and read by the thread after it.
    std::atomic<bool> quit{false};
    std::atomic<bool> paused{false};
    std::atomic<std::uint64_t> seekTo{kNoSeek};

    // The loop's frame at the start of the source's queue (the time-line's while the device is
    // lost), the frames queued after it, and the loop's length (0: none).
    // The thread makes `changes` odd while the queue and these disagree, so position() can
    // tell a read that straddled an unqueue (it would jump back by a buffer) and retry; it does
    // nothing but note them meanwhile, so the retry is short.
    std::atomic<std::uint64_t> base{0};
    std::atomic<std::uint64_t> queued{0};
    std::atomic<std::uint64_t> length{0};
    std::atomic<unsigned> changes{0};

    class Stream;
};

// The streaming thread's work, a step at a time, over its own state: the file, what each
// buffer holds, and the music's time-line. It owns the source while it runs, and leaves it
// stopped and empty.
class SoundEngine::State::Stream {
public:
    using Clock = StreamTimeLine::Clock;


    Stream(State& engine, std::unique_ptr<LoopedWav> wav);
    void run();

private:
    // The commands since the last look, carried into the time-line; the frame to start the
    // queue from when one is due (a seek, or play()'s first frame), else kNoSeek.
    std::uint64_t takeCommands(Clock::time_point now);
    // Lets a lost device go and seeks another when one is due; true while one is open. A
    // device opened anew sets `from` to where the time-line has reached.
    bool keepDevice(Clock::time_point now, std::uint64_t& from);
    // Empties the queue and fills it again from that loop frame.
    void queueFrom(std::uint64_t frame);
    // Puts each played buffer back on the queue with the next stretch of the file, or fills the
    // queue anew after a source that ran dry.
    void refill();
    // Plays the source (again after it ran dry) unless paused, holds a paused one; false once
    // the file has failed and its last buffers have played out.
    bool keepSourcePlaying();
    // Waits for a command or the next check; false once the thread is to end.
    bool rest();
    // Notes where the music stood, for position() once stopped, and stops the source.
    void settle();

    // Fills a buffer from the file and queues it; false once the file yields nothing more.
    bool queueNext(std::size_t slot);
    // A change of the queue and of `base` together, which position() must not read halfway.
    template <typename Change>
    void changeQueue(Change change)
    {
        ++engine_.changes;
        change();
        ++engine_.changes;
    }

    State& engine_;
    SoundDevice& device_;
    std::unique_ptr<LoopedWav> wav_;
    const std::uint64_t loop_;
    const ALenum format_;
    const std::size_t framesPerBuffer_;
    std::vector<float> block_;
    std::array<std::size_t, SoundDevice::kBufferCount> held_{};  // frames in each buffer while it is queued
    bool more_ = true;                               // false once the file stopped yielding audio
    StreamTimeLine timeLine_;
    Clock::time_point nextReopen_;
};

