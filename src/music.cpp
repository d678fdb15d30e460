// The sound engine on OpenAL Soft: one device and context, one non-spatial source, and a
// thread that streams the file through a small ring of buffers, so the music start costs the
// same for any length of file and memory stays fixed. Only that thread drives the source's
// queue and state; the program's commands reach it through atomics and an eventfd wake. A
// device that is lost (its sound server killed or restarted) is opened anew by that thread.
#include "music.hpp"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

#include "music_reader.hpp"
#include "show_data.hpp"

namespace {

// Four buffers of 160 ms keep 640 ms queued at any rate: on a 2-core machine saturated while
// the show renders, the sound threads were seen held up for close to half a second, and a
// 320 ms queue ran dry then. The thread looks for played buffers four times per buffer (every
// 40 ms). The queue adds nothing to the music's lag: the mixer plays the source from its first
// queued frame, and the thread queues them all before it starts the source.
constexpr std::size_t kBufferCount = 4;
constexpr int kChecksPerBuffer = 4;
constexpr char kThreadName[] = "music";
// A lost device is tried again this often: an attempt costs a failed connection (a
// millisecond), and the music comes back within this much of the server's return.
constexpr auto kReopenInterval = std::chrono::milliseconds(250);

using Clock = std::chrono::steady_clock;

// Where the music stands on its own time-line: the loop frame due at `at`, moving on at the
// file's rate unless paused. The streaming thread keeps it from the commands it carries out;
// a device opened anew resumes from it, as though the music had played on through the loss.
struct TimeLine {
    std::uint64_t loop = 1;
    int rate = 1;
    std::uint64_t frame = 0;
    Clock::time_point at;
    bool paused = false;

    std::uint64_t frameAt(Clock::time_point when) const
    {
        if (paused)
            return frame;
        const double seconds = std::chrono::duration<double>(when - at).count();
        return (frame + static_cast<std::uint64_t>(std::llround(std::max(seconds, 0.0) * rate))) % loop;
    }
    void seek(std::uint64_t to, Clock::time_point when)
    {
        frame = to;
        at = when;
    }
    void hold(bool held, Clock::time_point when)
    {
        if (held != paused) {
            seek(frameAt(when), when);
            paused = held;
        }
    }
};

void wake(int fd)
{
    const std::uint64_t one = 1;
    while (write(fd, &one, sizeof one) < 0 && errno == EINTR) {}
}

void drain(int fd)
{
    std::uint64_t count = 0;
    while (read(fd, &count, sizeof count) < 0 && errno == EINTR) {}
}

}  // namespace

struct SoundEngine::State {
    static constexpr std::uint64_t kNoSeek = std::numeric_limits<std::uint64_t>::max();

    // The device and its objects: set by open(), then while the thread runs only by it (it
    // closes a lost device and opens another). Null while lost, which `lost` tells position().
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    std::atomic<ALuint> source{0};
    std::array<ALuint, kBufferCount> buffers{};
    std::atomic<bool> lost{false};
    bool quiet = true;  // the user didn't ask for OpenAL Soft's log: devices open with stderr muted
    int wakeFd = -1;
    std::thread streamer;

    // Commands, set before the wake and read by the thread after it. A seek target is already
    // reduced to the loop, so kNoSeek can't be one.
    std::atomic<bool> quit{false};
    std::atomic<bool> paused{false};
    std::atomic<std::uint64_t> seekTo{kNoSeek};

    // The loop's frame at the start of the source's queue (the time-line's while the device is
    // lost), and the loop's length (0: none).
    // The thread makes `changes` odd while the queue and `base` disagree, so position() can
    // tell a read that straddled an unqueue (it would jump back by a buffer) and retry.
    std::atomic<std::uint64_t> base{0};
    std::atomic<std::uint64_t> length{0};
    std::atomic<unsigned> changes{0};

    // Opens the default device with a context made current, a source and buffers; false
    // when there is none, with nothing kept.
    bool openDevice();
    // Releases them all (the thread stopped, or the device lost).
    void closeDevice();
    bool deviceLost() const;
    void stream(std::unique_ptr<LoopedWav> wav);
};

// The streaming thread: owns the source while it runs, and returns it stopped and empty.
void SoundEngine::State::stream(std::unique_ptr<LoopedWav> wav)
{
    pthread_setname_np(pthread_self(), kThreadName);
    const std::uint64_t loop = length.load();
    const ALenum format = wav->channels() == 1 ? AL_FORMAT_MONO_FLOAT32 : AL_FORMAT_STEREO_FLOAT32;
    const std::size_t framesPerBuffer = static_cast<std::size_t>(wav->sampleRate()) * SoundEngine::kBufferMs / 1000;
    std::vector<float> block(framesPerBuffer * LoopedWav::kMaxChannels);
    std::array<std::size_t, kBufferCount> held{};  // frames in each buffer while it is queued
    bool more = true;                               // false once the file stopped yielding audio

    // Fills a buffer from the file and queues it; false once the file yields nothing more.
    const auto queueNext = [&](std::size_t slot) {
        const std::size_t frames = wav->read(block.data(), framesPerBuffer);
        held[slot] = frames;
        if (frames == 0)
            return false;
        const auto bytes = frames * static_cast<std::size_t>(wav->channels()) * sizeof(float);
        alBufferData(buffers[slot], format, block.data(), static_cast<ALsizei>(bytes), wav->sampleRate());
        alSourceQueueBuffers(source, 1, &buffers[slot]);
        return frames == framesPerBuffer;
    };

    constexpr int checkMs = SoundEngine::kBufferMs / kChecksPerBuffer;
    TimeLine timeLine{loop, wav->sampleRate(), 0, {}, false};
    Clock::time_point nextReopen;
    // poll() takes a relative timeout, so a clock shifted or sped up under the process (as in
    // the tests) can't stretch the wait.
    pollfd wakeUp{wakeFd, POLLIN, 0};
    // Waits for a command or the next check; false once the thread is to end.
    const auto rest = [&] {
        const int woken = poll(&wakeUp, 1, checkMs);
        if (woken > 0)
            drain(wakeFd);
        return !quit && (woken >= 0 || errno == EINTR);
    };
    for (;;) {
        const Clock::time_point now = Clock::now();
        // The start too: play() asks for its first frame as a seek.
        std::uint64_t target = seekTo.exchange(kNoSeek);
        if (target != kNoSeek)
            timeLine.seek(target, now);
        timeLine.hold(paused, now);

        // A lost device is let go at once, and another is sought until one opens; meanwhile
        // position() follows the time-line, and the music comes back where it implies.
        if (device != nullptr && deviceLost()) {
            ++changes;
            closeDevice();
            lost = true;
            base = timeLine.frameAt(now);
            ++changes;
        }
        if (device == nullptr && now >= nextReopen) {
            nextReopen = now + kReopenInterval;
            if (openDevice()) {
                lost = false;
                target = timeLine.frameAt(Clock::now());  // the opening took time too
            }
        }

        if (device == nullptr) {
            base = timeLine.frameAt(now);
            if (!rest())
                break;
            continue;
        }

        if (target != kNoSeek) {
            // Rewound rather than stopped: a stopped source counts its whole queue as played,
            // which would advance the stream while paused.
            ++changes;
            alSourceRewind(source);
            alSourcei(source, AL_BUFFER, 0);
            base = target;
            ++changes;
            more = wav->seek(target);
            for (std::size_t slot = 0; slot < kBufferCount && more; ++slot)
                more = queueNext(slot);
        }

        ALint played = 0;
        alGetSourcei(source, AL_BUFFERS_PROCESSED, &played);
        for (; played > 0 && more; --played) {
            ALuint buffer = 0;
            ++changes;
            alSourceUnqueueBuffers(source, 1, &buffer);
            const auto slot = static_cast<std::size_t>(std::find(buffers.begin(), buffers.end(), buffer) - buffers.begin());
            if (slot < kBufferCount)
                base = (base + held[slot]) % loop;
            ++changes;
            if (slot == kBufferCount)
                break;  // nothing came off the queue after all
            more = queueNext(slot);
        }

        // A source that ran dry (the thread was starved) stops by itself; restart it, unless
        // paused, where it is rewound to hold its refilled queue. Once the file has failed, the
        // last buffers play out and the thread is done.
        ALint state = 0;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state == AL_STOPPED && !more)
            break;
        if (!paused) {
            if (state != AL_PLAYING)
                alSourcePlay(source);
        } else if (state == AL_PLAYING) {
            alSourcePause(source);
        } else if (state == AL_STOPPED) {
            alSourceRewind(source);
        }

        if (!rest())
            break;
    }
    // Where it stood, for position() once stopped.
    if (device == nullptr)
        return;
    ++changes;
    ALint offset = 0;
    alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
    base = (base + static_cast<std::uint64_t>(std::max(offset, 0))) % loop;
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    ++changes;
}

SoundEngine::SoundEngine(std::unique_ptr<State> state) : state_(std::move(state)) {}

namespace {

// Points stderr at /dev/null; returns a copy of the real one for restoreStderr, or -1.
int muteStderr()
{
    const int saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0 && dup2(null, STDERR_FILENO) >= 0) {
        close(null);
        return saved;
    }
    if (null >= 0)
        close(null);
    if (saved >= 0)
        close(saved);
    return -1;
}

void restoreStderr(int saved)
{
    if (saved < 0)
        return;
    dup2(saved, STDERR_FILENO);
    close(saved);
}

}  // namespace

bool SoundEngine::State::openDevice()
{
    // Nothing is printed about sound unless the user asks for OpenAL Soft's log through its
    // own variable. Quieting the library's log is not enough: while a device opens, the
    // backends' libraries print their own complaints to stderr (ALSA does on a machine without
    // a sound card), so stderr is muted for that moment too, for every thread. The demo opens
    // its engine before main, when no other thread runs; a device opened anew after a loss
    // mutes the program's stderr for that moment, which the demo never writes to.
    const int realStderr = quiet ? muteStderr() : -1;
    device = alcOpenDevice(nullptr);
    context = device != nullptr ? alcCreateContext(device, nullptr) : nullptr;
    restoreStderr(realStderr);
    if (context == nullptr || !alcMakeContextCurrent(context)) {
        closeDevice();
        return false;
    }
    ALuint name = 0;
    alGenSources(1, &name);
    source = name;
    alGenBuffers(static_cast<ALsizei>(kBufferCount), buffers.data());
    // Music has no place in space: the listener hears the file's channels as they are.
    alSourcei(name, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(name, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(name, AL_ROLLOFF_FACTOR, 0.0f);
    if (alIsExtensionPresent("AL_SOFT_direct_channels"))
        alSourcei(name, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    return true;
}

void SoundEngine::State::closeDevice()
{
    if (context != nullptr) {
        const ALuint name = source;
        alDeleteSources(1, &name);
        alDeleteBuffers(static_cast<ALsizei>(kBufferCount), buffers.data());
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
    }
    if (device != nullptr)
        alcCloseDevice(device);
    device = nullptr;
    context = nullptr;
    source = 0;
    buffers = {};
}

// A device whose output went away (OpenAL Soft's disconnect extension: its sound server died,
// say) plays no more.
bool SoundEngine::State::deviceLost() const
{
    ALCint connected = ALC_TRUE;
    if (alcIsExtensionPresent(device, "ALC_EXT_disconnect"))
        alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
    return connected == ALC_FALSE;
}

std::unique_ptr<SoundEngine> SoundEngine::open()
{
    auto state = std::make_unique<State>();
    state->quiet = std::getenv("ALSOFT_LOGLEVEL") == nullptr;
    setenv("ALSOFT_LOGLEVEL", "0", 0);
    state->wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (state->wakeFd < 0)
        return nullptr;
    if (!state->openDevice()) {
        close(state->wakeFd);
        return nullptr;
    }
    return std::unique_ptr<SoundEngine>(new SoundEngine(std::move(state)));
}

SoundEngine::~SoundEngine()
{
    stop();
    state_->closeDevice();
    close(state_->wakeFd);
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
        state_->streamer = std::thread(&State::stream, state_.get(), std::move(wav));
    } catch (const std::system_error&) {
        // No thread to be had: the music is skipped, like any other music that can't play.
    }
}

void SoundEngine::pause()
{
    state_->paused = true;
    wake(state_->wakeFd);
}

void SoundEngine::resume()
{
    state_->paused = false;
    wake(state_->wakeFd);
}

void SoundEngine::seek(std::uint64_t frame)
{
    const std::uint64_t loop = state_->length;
    if (loop == 0)
        return;
    state_->seekTo = frame % loop;
    wake(state_->wakeFd);
}

std::uint64_t SoundEngine::position() const
{
    for (;;) {
        const unsigned before = state_->changes;
        if (before % 2 != 0) {
            std::this_thread::yield();  // the thread is between an unqueue and its count
            continue;
        }
        const std::uint64_t at = state_->base, loop = state_->length;
        ALint offset = 0;
        if (!state_->lost)
            alGetSourcei(state_->source, AL_SAMPLE_OFFSET, &offset);
        if (state_->changes == before)
            return loop == 0 ? at : (at + static_cast<std::uint64_t>(std::max(offset, 0))) % loop;
    }
}

void SoundEngine::stop()
{
    if (!state_->streamer.joinable())
        return;
    state_->quit = true;
    wake(state_->wakeFd);
    state_->streamer.join();
    state_->quit = false;
    drain(state_->wakeFd);
}

namespace {
SoundEngine* processEngine = nullptr;
bool processEngineOpened = false;
}  // namespace

SoundEngine* openProcessSoundEngine()
{
    if (processEngineOpened)
        return processEngine;
    processEngineOpened = true;
    processEngine = SoundEngine::open().release();
    if (processEngine == nullptr)
        return nullptr;
    // At the end of the process the streaming thread must be gone before static destruction
    // and OpenAL Soft's own teardown, and the device is paused so its mixer is idle by then
    // too (a file output also gets its header completed). Registered after the device is
    // open, so it runs before the library's own exit handlers.
    std::atexit([] {
        processEngine->stop();
        if (processEngine->state_->device != nullptr)
            alcDevicePauseSOFT(processEngine->state_->device);
    });
    return processEngine;
}

void startMusic(SoundEngine* engine)
{
    if (engine != nullptr)
        engine->play(kTunePath);
}
