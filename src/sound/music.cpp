// The demo's soundtrack; see music.hpp.
#include "sound/music.hpp"

#include <cstdlib>

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
    // and OpenAL Soft's own teardown, and the device's mixer idle by then too. Registered after
    // the device is open, so it runs before the library's own exit handlers.
    std::atexit([] { processEngine->stopForExit(); });
    return processEngine;
}

void startMusic(SoundEngine* engine, const char* path)
{
    if (engine != nullptr)
        engine->play(path);
}
