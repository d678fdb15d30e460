// The sound engine on OpenAL Soft: one device and context, one non-spatial source, and a
// thread that streams the file through a small ring of buffers, so the music start costs the
// same for any length of file and memory stays fixed. Only that thread drives the source's
// queue and state; the program's commands reach it through atomics and a wake-up. A
// device that is lost (its sound server killed or restarted) is opened anew by that thread.
#include "sound/sound_engine.hpp"

#include <AL/alext.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/thread_name.hpp"
#include "platform/wake_up.hpp"
#include "sound/music_reader.hpp"
#include "sound/sound_device.hpp"
#include "sound/stream_time_line.hpp"

namespace {

// The thread looks for played buffers four times per buffer (every 40 ms). The queue adds
// nothing to the music's lag: the mixer plays the source from its first queued frame, and the
// thread queues them all before it starts the source.
constexpr std::size_t kBufferCount = SoundDevice::kBufferCount;
constexpr int kChecksPerBuffer = 4;
constexpr char kThreadName[] = "music";
// A lost device is tried again this often: an attempt costs a failed connection (a
// millisecond), and the music comes back within this much of the server's return.
constexpr auto kReopenInterval = std::chrono::milliseconds(250);
constexpr std::uint64_t kNoSeek = std::numeric_limits<std::uint64_t>::max();

using Clock = StreamTimeLine::Clock;

}  // namespace

struct SoundEngine::State {
    // Opened by open(), then while the thread runs only by it (it closes a lost device and
    // opens another). Closed while lost, which `lost` tells position().
    SoundDevice device;
    std::atomic<bool> lost{false};
    bool quiet = true;  // the user didn't ask for OpenAL Soft's log: devices open with stderr muted
    WakeUp wakeUp;
    std::thread streamer;

    // Commands, set before the wake and read by the thread after it. A seek target is already
    // reduced to the loop, so kNoSeek can't be one.
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
    std::array<std::size_t, kBufferCount> held_{};  // frames in each buffer while it is queued
    bool more_ = true;                               // false once the file stopped yielding audio
    StreamTimeLine timeLine_;
    Clock::time_point nextReopen_;
};

SoundEngine::State::Stream::Stream(State& engine, std::unique_ptr<LoopedWav> wav)
    : engine_(engine),
      device_(engine.device),
      wav_(std::move(wav)),
      loop_(engine.length.load()),
      format_(wav_->channels() == 1 ? AL_FORMAT_MONO_FLOAT32 : AL_FORMAT_STEREO_FLOAT32),
      framesPerBuffer_(static_cast<std::size_t>(wav_->sampleRate()) * SoundEngine::kBufferMs / 1000),
      block_(framesPerBuffer_ * LoopedWav::kMaxChannels),
      timeLine_{loop_, wav_->sampleRate(), 0, {}, false}
{
}

void SoundEngine::State::Stream::run()
{
    nameThisThread(kThreadName);
    for (;;) {
        const Clock::time_point now = Clock::now();
        std::uint64_t from = takeCommands(now);
        if (keepDevice(now, from)) {
            if (from != kNoSeek)
                queueFrom(from);
            refill();
            if (!keepSourcePlaying())
                break;
        }
        if (!rest())
            break;
    }
    settle();
}

std::uint64_t SoundEngine::State::Stream::takeCommands(Clock::time_point now)
{
    const std::uint64_t target = engine_.seekTo.exchange(kNoSeek);
    if (target != kNoSeek)
        timeLine_.seek(target, now);
    timeLine_.hold(engine_.paused, now);
    return target;
}

bool SoundEngine::State::Stream::keepDevice(Clock::time_point now, std::uint64_t& from)
{
    // A lost device is let go at once, and another is sought until one opens; meanwhile
    // position() follows the time-line, and the music comes back where it implies.
    if (device_.isOpen() && device_.lost()) {
        changeQueue([&] {
            engine_.lost = true;
            engine_.base = timeLine_.frameAt(now);
            engine_.queued = 0;
        });
        device_.close();  // which may take a while: position() follows the time-line meanwhile
    }
    if (!device_.isOpen() && now >= nextReopen_) {
        nextReopen_ = now + kReopenInterval;
        if (device_.open(engine_.quiet)) {
            engine_.lost = false;
            from = timeLine_.frameAt(Clock::now());  // the opening took time too
        }
    }
    if (!device_.isOpen())
        engine_.base = timeLine_.frameAt(now);
    return device_.isOpen();
}

void SoundEngine::State::Stream::queueFrom(std::uint64_t frame)
{
    // Rewound rather than stopped: a stopped source counts its whole queue as played, which
    // would advance the stream while paused.
    changeQueue([&] {
        alSourceRewind(device_.source);
        alSourcei(device_.source, AL_BUFFER, 0);
        engine_.base = frame;
        engine_.queued = 0;
    });
    more_ = wav_->seek(frame);
    for (std::size_t slot = 0; slot < kBufferCount && more_; ++slot)
        more_ = queueNext(slot);
}

void SoundEngine::State::Stream::refill()
{
    // A source that ran dry (the thread was starved) has played its whole queue and stopped:
    // the stream goes on from there, the queue filled anew from the frame after it.
    ALint state = 0;
    alGetSourcei(device_.source, AL_SOURCE_STATE, &state);
    if (state == AL_STOPPED && more_) {
        queueFrom((engine_.base + engine_.queued) % loop_);
        return;
    }
    ALint played = 0;
    alGetSourcei(device_.source, AL_BUFFERS_PROCESSED, &played);
    for (; played > 0 && more_; --played) {
        std::size_t slot = kBufferCount;
        changeQueue([&] {
            ALuint buffer = 0;
            alSourceUnqueueBuffers(device_.source, 1, &buffer);
            slot = static_cast<std::size_t>(std::find(device_.buffers.begin(), device_.buffers.end(), buffer) -
                                            device_.buffers.begin());
            if (slot < kBufferCount) {
                engine_.base = (engine_.base + held_[slot]) % loop_;
                engine_.queued -= held_[slot];
            }
        });
        if (slot == kBufferCount)
            return;  // nothing came off the queue after all
        more_ = queueNext(slot);
    }
}

bool SoundEngine::State::Stream::keepSourcePlaying()
{
    const ALuint source = device_.source;
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (state == AL_STOPPED && !more_)
        return false;
    if (!engine_.paused && state != AL_PLAYING)
        alSourcePlay(source);
    else if (engine_.paused && state == AL_PLAYING)
        alSourcePause(source);
    return true;
}

bool SoundEngine::State::Stream::rest()
{
    constexpr int kCheckMs = SoundEngine::kBufferMs / kChecksPerBuffer;
    engine_.wakeUp.wait(kCheckMs);
    return !engine_.quit;
}

void SoundEngine::State::Stream::settle()
{
    if (!device_.isOpen())
        return;  // position() already follows the time-line
    changeQueue([&] {
        ALint offset = 0;
        alGetSourcei(device_.source, AL_SAMPLE_OFFSET, &offset);
        engine_.base = (engine_.base + static_cast<std::uint64_t>(std::max(offset, 0))) % loop_;
        engine_.queued = 0;
        alSourceStop(device_.source);
        alSourcei(device_.source, AL_BUFFER, 0);
    });
}

bool SoundEngine::State::Stream::queueNext(std::size_t slot)
{
    const std::size_t frames = wav_->read(block_.data(), framesPerBuffer_);
    held_[slot] = frames;
    if (frames == 0)
        return false;
    const auto bytes = frames * static_cast<std::size_t>(wav_->channels()) * sizeof(float);
    alBufferData(device_.buffers[slot], format_, block_.data(), static_cast<ALsizei>(bytes), wav_->sampleRate());
    const ALuint buffer = device_.buffers[slot];
    alSourceQueueBuffers(device_.source, 1, &buffer);
    engine_.queued += frames;
    return frames == framesPerBuffer_;
}

SoundEngine::SoundEngine(std::unique_ptr<State> state) : state_(std::move(state)) {}

std::unique_ptr<SoundEngine> SoundEngine::open()
{
    std::unique_ptr<State> state;
    try {
        state = std::make_unique<State>();
    } catch (const std::system_error&) {
        return nullptr;  // no wake-up to be had: no stream either
    }
    state->quiet = std::getenv("ALSOFT_LOGLEVEL") == nullptr;
    if (state->quiet)
        putenv(const_cast<char*>("ALSOFT_LOGLEVEL=0"));
    if (!state->device.open(state->quiet))
        return nullptr;
    return std::unique_ptr<SoundEngine>(new SoundEngine(std::move(state)));
}

SoundEngine::~SoundEngine()
{
    stop();
    state_->device.close();
}

void SoundEngine::play(const char* path, std::uint64_t fromFrame)
{
    stop();
    // Opened here, header only (the same cost for any length of file), so that the loop's
    // length is known at once: seek() and position() reduce frames to the loop with it.
    auto wav = std::make_unique<LoopedWav>(path);
    const std::uint64_t loop = wav->length();
    state_->length = loop;
    state_->base = loop == 0 ? 0 : fromFrame % loop;
    if (loop == 0)
        return;  // a file that can't be played gives silence
    state_->paused = false;
    state_->seekTo = state_->base.load();
    try {
        state_->streamer = std::thread([state = state_.get(), wav = std::move(wav)]() mutable {
            State::Stream(*state, std::move(wav)).run();
        });
    } catch (const std::system_error&) {
        // No thread to be had: the music is skipped, like any other music that can't play.
    }
}

void SoundEngine::pause()
{
    state_->paused = true;
    state_->wakeUp.wake();
}

void SoundEngine::resume()
{
    state_->paused = false;
    state_->wakeUp.wake();
}

void SoundEngine::seek(std::uint64_t frame)
{
    const std::uint64_t loop = state_->length;
    if (loop == 0)
        return;
    state_->seekTo = frame % loop;
    state_->wakeUp.wake();
}

std::uint64_t SoundEngine::position() const
{
    for (;;) {
        const unsigned before = state_->changes;
        if (before % 2 != 0) {
            std::this_thread::yield();  // the thread is between an unqueue and its count
            continue;
        }
        const std::uint64_t at = state_->base, loop = state_->length, queued = state_->queued;
        ALint offset = 0;
        ALint playing = AL_INITIAL;
        if (!state_->lost) {
            const ALuint source = state_->device.source;
            alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
            alGetSourcei(source, AL_SOURCE_STATE, &playing);
        }
        // A source that ran dry has played its whole queue, though its offset reads 0 again.
        const std::uint64_t played = playing == AL_STOPPED ? queued : static_cast<std::uint64_t>(std::max(offset, 0));
        if (state_->changes == before)
            return loop == 0 ? at : (at + played) % loop;
    }
}

void SoundEngine::stop()
{
    if (!state_->streamer.joinable())
        return;
    state_->quit = true;
    state_->wakeUp.wake();
    state_->streamer.join();
    state_->quit = false;
    state_->wakeUp.clear();
}

void SoundEngine::stopForExit()
{
    stop();
    state_->device.pause(std::chrono::milliseconds(kExitPauseMs));
}
