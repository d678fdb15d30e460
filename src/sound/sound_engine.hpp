// The sound engine: one output device and a thread of its own that streams one WAV file in a
// seamless endless loop, with commands to seek, pause and resume, and the position heard.
// The program opens and owns it; a device lost while it plays is opened anew by the stream.
#pragma once

#include <cstdint>
#include <memory>

class SoundEngine {
public:
    // Opens the default output device. Null when there is none; prints nothing (stderr is muted
    // while the device opens) unless OpenAL Soft's log is asked for through ALSOFT_LOGLEVEL.
    // OpenAL's current context is the process's, so one engine is open at a time. A device lost
    // later (its sound server gone) is opened anew by the stream until one answers, and the
    // music resumes where its time-line has reached, as though it had played on.
    static std::unique_ptr<SoundEngine> open();
    // Stops the stream and releases the source, buffers, context and device.
    ~SoundEngine();
    SoundEngine(const SoundEngine&) = delete;
    SoundEngine& operator=(const SoundEngine&) = delete;

    // Streams the WAV file looped without end from frame `fromFrame` of the loop (taken modulo
    // its length), replacing what played; returns at once. A file that can't be played, or
    // stops yielding audio, gives silence.
    void play(const char* path, std::uint64_t fromFrame = 0);
    // The length of one of the stream's buffers: a command is carried out within one.
    static constexpr int kBufferMs = 160;
    // Commands to the stream, carried out by its thread within a buffer's time; they return at
    // once and do nothing without a stream. seek is sample-exact and keeps a pause.
    void pause();
    void resume();
    void seek(std::uint64_t frame);
    // The frame of the loop being heard now (the frame asked for until the stream has begun,
    // where it stood once stopped, its time-line's while the device is lost). Never runs
    // backwards but at the loop's join, a seek or the device's loss.
    std::uint64_t position() const;
    // Ends the stream and its thread.
    void stop();
    // Ends the stream and pauses the device, so that its mixer is idle when the process's exit
    // handlers run (a wave-file output gets its header completed), within kExitPauseMs at most
    // (a frozen sound server is not waited for); releases nothing.
    void stopForExit();
    static constexpr int kExitPauseMs = 100;

private:
    struct State;  // OpenAL's objects, the streaming thread and the commands to it
    explicit SoundEngine(std::unique_ptr<State> state);

    std::unique_ptr<State> state_;
};
