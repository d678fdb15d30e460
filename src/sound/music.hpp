// The demo's soundtrack on the sound engine: the process's engine, made before main and living
// until the process ends, and the music start as the last step of start-up. Nothing in the
// frame loop touches it.
#pragma once

#include "sound/sound_engine.hpp"

// The process's engine, made before main (called from a static initialiser), living until the
// process ends; every call returns the same one, null without an output device. At exit its
// stream is stopped and its device paused; nothing is released.
SoundEngine* openProcessSoundEngine();

// Plays the tune at `path` looped from its start; does nothing without an engine.
void startMusic(SoundEngine* engine, const char* path);
