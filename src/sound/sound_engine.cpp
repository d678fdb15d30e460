// The sound engine on OpenAL Soft: one device and context, one non-spatial source, and a
// thread that streams the file through a small ring of buffers (music_stream.cpp), so the music
// start costs the same for any length of file and memory stays fixed. The program's commands
// reach that thread through atomics and a wake-up; a device that is lost (its sound server
// killed or restarted) is opened anew by it.
#include "sound/sound_engine.hpp"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "sound/engine_state.hpp"

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
