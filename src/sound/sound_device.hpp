// One output device of OpenAL Soft, its context current, one source that has no place in
// space, and the ring of buffers the stream queues on it: what the sound engine opens, closes
// when the device is lost, and opens anew.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>

struct SoundDevice {
    // Four buffers of 160 ms keep 640 ms queued at any rate: on a 2-core machine saturated
    // while the show renders, the sound threads were seen held up for close to half a second,
    // and a 320 ms queue ran dry then.
    static constexpr std::size_t kBufferCount = 4;

    // Opens the default device with its context made current, the source and the buffers;
    // false when there is none, with nothing kept. While it opens, stderr is muted if `quiet`.
    bool open(bool quiet);
    // Releases them all.
    void close();
    bool isOpen() const { return device != nullptr; }
    // Whether its output went away (its sound server died, say): it plays no more.
    bool lost() const;
    // Leaves the mixer idle, as the process's end wants it (a wave-file output gets its header
    // completed), waiting for that no longer than `limit`: a frozen sound server would hold it
    // for its client library's timeout, half a minute. False when it was given up on.
    bool pause(std::chrono::milliseconds limit);

    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    // Read by the program's thread for the position heard, while the stream's thread may
    // replace it.
    std::atomic<ALuint> source{0};
    std::array<ALuint, kBufferCount> buffers{};
};
