// The sound engine's streaming thread: it keeps the source's queue of buffers filled from the
// file, carries out the commands, and lets a lost device go and opens another; see
// engine_state.hpp. Only this thread drives the source's queue and state.
#include "sound/engine_state.hpp"

#include <AL/alext.h>

#include <algorithm>

#include "platform/thread_name.hpp"

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

}  // namespace

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

