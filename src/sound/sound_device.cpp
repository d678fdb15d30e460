// The sound engine's device on OpenAL Soft; see sound_device.hpp.
#include "sound/sound_device.hpp"

#define AL_ALEXT_PROTOTYPES
#include <AL/alext.h>

#include <future>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/muted_stderr.hpp"

bool SoundDevice::open(bool quiet)
{
    // Nothing is printed about sound unless the user asks for OpenAL Soft's log through its
    // own variable. Quieting the library's log is not enough: the backends' libraries print
    // their own complaints while a device opens, so stderr is muted for that moment too, for
    // every thread. The demo opens its engine before main, when no other thread runs; a device
    // opened anew after a loss mutes the program's stderr for that moment, which the demo
    // never writes to.
    {
        std::optional<MutedStderr> muted;
        if (quiet)
            muted.emplace();
        device = alcOpenDevice(nullptr);
        context = device != nullptr ? alcCreateContext(device, nullptr) : nullptr;
    }
    if (context == nullptr || !alcMakeContextCurrent(context)) {
        close();
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

void SoundDevice::close()
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

// OpenAL Soft's disconnect extension tells a device whose output went away.
bool SoundDevice::lost() const
{
    ALCint connected = ALC_TRUE;
    if (alcIsExtensionPresent(device, "ALC_EXT_disconnect"))
        alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
    return connected == ALC_FALSE;
}

bool SoundDevice::pause(std::chrono::milliseconds limit)
{
    if (device == nullptr)
        return true;
    // On a thread of its own, left to itself if it outlasts the limit.
    auto paused = std::make_shared<std::promise<void>>();
    std::future<void> done = paused->get_future();
    try {
        std::thread([device = device, paused] {
            alcDevicePauseSOFT(device);
            paused->set_value();
        }).detach();
    } catch (const std::system_error&) {
        return false;  // no thread to be had: not paused rather than held up
    }
    return done.wait_for(limit) == std::future_status::ready;
}
