// The sound engine on OpenAL Soft: one device and context, one non-spatial source, and a
// thread that streams the file through a small ring of buffers, so the music start costs the
// same for any length of file and memory stays fixed. The engine lives until the process ends.
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
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "music_reader.hpp"

namespace {

constexpr const char* kMusicPath = "demotune.wav";

// Four buffers of 8192 frames keep 170 ms queued at 192 kHz and most of a second at 44.1 kHz;
// the thread looks for played buffers four times per buffer so the queue never runs dry.
constexpr int kBufferCount = 4;
constexpr std::size_t kFramesPerBuffer = 8192;
constexpr int kChecksPerBuffer = 4;
constexpr int kMinCheckMs = 5;
constexpr char kThreadName[] = "music";

using Buffers = std::array<ALuint, kBufferCount>;

// Fills one buffer from the file and queues it; false once the file yields nothing more.
bool queueNext(ALuint source, ALuint buffer, LoopedWav& wav, std::vector<float>& block)
{
    const std::size_t frames = wav.read(block.data(), kFramesPerBuffer);
    if (frames == 0)
        return false;
    const ALenum format = wav.channels() == 1 ? AL_FORMAT_MONO_FLOAT32 : AL_FORMAT_STEREO_FLOAT32;
    const auto bytes = frames * static_cast<std::size_t>(wav.channels()) * sizeof(float);
    alBufferData(buffer, format, block.data(), static_cast<ALsizei>(bytes), wav.sampleRate());
    alSourceQueueBuffers(source, 1, &buffer);
    return frames == kFramesPerBuffer;
}

// The streaming thread: owns the source while it runs, and returns it stopped and empty.
void stream(std::string path, ALuint source, Buffers buffers, int wakeFd)
{
    pthread_setname_np(pthread_self(), kThreadName);
    LoopedWav wav(path.c_str());
    if (!wav.playable())
        return;
    std::vector<float> block(kFramesPerBuffer * LoopedWav::kMaxChannels);
    bool more = true;
    for (ALuint buffer : buffers)
        more = more && queueNext(source, buffer, wav, block);
    alSourcePlay(source);

    const int checkMs = std::max(
        kMinCheckMs, static_cast<int>(1000 * kFramesPerBuffer / kChecksPerBuffer
                                      / static_cast<std::size_t>(wav.sampleRate())));
    // poll() takes a relative timeout, so a clock shifted or sped up under the process (as in
    // the tests) can't stretch the wait.
    pollfd wake{wakeFd, POLLIN, 0};
    for (;;) {
        const int woken = poll(&wake, 1, checkMs);
        if (woken > 0 || (woken < 0 && errno != EINTR))
            break;
        ALint played = 0;
        alGetSourcei(source, AL_BUFFERS_PROCESSED, &played);
        for (; played > 0 && more; --played) {
            ALuint buffer = 0;
            alSourceUnqueueBuffers(source, 1, &buffer);
            more = queueNext(source, buffer, wav, block);
        }
        // A source that ran dry (the thread was starved) stops by itself; restart it. Once the
        // file has failed, the last buffers play out and the thread is done.
        ALint state = 0;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING) {
            if (!more)
                break;
            alSourcePlay(source);
        }
    }
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
}

}  // namespace

class SoundEngine {
public:
    ALCdevice* device = nullptr;
    ALuint source = 0;
    Buffers buffers{};
    int wakeFd = -1;
    std::thread streamer;
};

namespace {

// At the end of the process the streaming thread must be gone before static destruction and
// OpenAL Soft's own teardown, and the device is paused so its mixer is idle by then too (a
// file output also gets its header completed). Nothing is released.
void quietAtExit()
{
    if (soundEngine == nullptr)
        return;
    stopSound(*soundEngine);
    alcDevicePauseSOFT(soundEngine->device);
}

// Points stderr at /dev/null; returns a copy of the real one for restoreStderr, or -1.
int muteStderr()
{
    const int saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
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

SoundEngine* openSoundEngine()
{
    // The demo prints nothing about sound unless the user asks for OpenAL Soft's log through
    // its own variable. Quieting the library's log is not enough: while a device opens, the
    // backends' libraries print their own complaints to stderr (ALSA does on a machine without
    // a sound card), so stderr is muted for that moment too. Only this thread runs yet.
    const bool logWanted = std::getenv("ALSOFT_LOGLEVEL") != nullptr;
    setenv("ALSOFT_LOGLEVEL", "0", 0);
    const int realStderr = logWanted ? -1 : muteStderr();
    ALCdevice* device = alcOpenDevice(nullptr);
    ALCcontext* context = device != nullptr ? alcCreateContext(device, nullptr) : nullptr;
    restoreStderr(realStderr);
    if (device == nullptr)
        return nullptr;

    const int wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (context == nullptr || !alcMakeContextCurrent(context) || wakeFd < 0) {
        if (wakeFd >= 0)
            close(wakeFd);
        if (context != nullptr)
            alcDestroyContext(context);
        alcCloseDevice(device);
        return nullptr;
    }

    auto* engine = new SoundEngine;
    engine->device = device;
    engine->wakeFd = wakeFd;
    alGenSources(1, &engine->source);
    alGenBuffers(kBufferCount, engine->buffers.data());
    // Music has no place in space: the listener hears the file's channels as they are.
    alSourcei(engine->source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(engine->source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(engine->source, AL_ROLLOFF_FACTOR, 0.0f);
    if (alIsExtensionPresent("AL_SOFT_direct_channels"))
        alSourcei(engine->source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);

    // Registered after the device is open, so it runs before the library's own exit handlers.
    std::atexit(quietAtExit);
    return engine;
}

}  // namespace

SoundEngine* const soundEngine = openSoundEngine();

void playLooped(SoundEngine& engine, const char* path)
{
    stopSound(engine);
    try {
        engine.streamer = std::thread(stream, std::string(path), engine.source, engine.buffers,
                                      engine.wakeFd);
    } catch (const std::system_error&) {
        // No thread to be had: the music is skipped, like any other music that can't play.
    }
}

void stopSound(SoundEngine& engine)
{
    if (!engine.streamer.joinable())
        return;
    const std::uint64_t one = 1;
    while (write(engine.wakeFd, &one, sizeof one) < 0 && errno == EINTR) {}
    engine.streamer.join();
    std::uint64_t count = 0;
    while (read(engine.wakeFd, &count, sizeof count) < 0 && errno == EINTR) {}
}

void startMusic()
{
    if (soundEngine != nullptr)
        playLooped(*soundEngine, kMusicPath);
}
