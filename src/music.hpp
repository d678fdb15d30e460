// The soundtrack: a process-wide sound engine, made by static initialisation before main, and
// the music start, the last step of start-up. The music then loops on the engine's own thread
// until the process ends; nothing in the frame loop touches it.
#pragma once

class SoundEngine;  // an output device and the thread that streams one file to it

// Null when no output device could be opened; the demo then runs in silence. Never released.
extern SoundEngine* const soundEngine;

// Starts "demotune.wav" from the working directory, looped without end; returns at once.
// Without an engine it does nothing, and a file that can't be played gives silence.
void startMusic();

// The engine's two operations, for the companion programs: stream a WAV file in a seamless
// endless loop (replacing what played before), and stop it, ending the streaming thread.
void playLooped(SoundEngine& engine, const char* path);
void stopSound(SoundEngine& engine);
