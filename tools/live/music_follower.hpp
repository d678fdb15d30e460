// The tune under the studio's clock: it plays at the clock's time (the frame the show would hear
// there, as demo-capture cuts it), moved there sample-exactly on every jump of the clock and on
// every resume, silent while paused and at any speed but 1x. What plays is a copy of the tune
// taken when it was loaded, so an edit that breaks the file can't reach the music.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "clock.hpp"
#include "sound/sound_engine.hpp"

class MusicFollower {
public:
    // Without an engine (no output device) tunes are still loaded and checked, and nothing plays.
    explicit MusicFollower(std::unique_ptr<SoundEngine> engine);
    ~MusicFollower();
    MusicFollower(const MusicFollower&) = delete;
    MusicFollower& operator=(const MusicFollower&) = delete;

    // Takes the tune at kTunePath as it is now. When the music can't play it, returns why in
    // the diagnostics' words and keeps the tune it had.
    std::string load();

    // Brings the music in line with the clock; called once a frame.
    void follow(const LiveClock& clock);

    bool hasDevice() const { return engine_ != nullptr; }
    // Where in the tune the music is heard now, in seconds; none while nothing has played.
    std::optional<double> heardSeconds() const;

private:
    std::unique_ptr<SoundEngine> engine_;
    int copy_ = -1;  // an anonymous file holding the tune that plays
    int rate_ = 0;
    std::uint64_t length_ = 0;
    bool started_ = false;  // the engine plays the copy
    bool audible_ = false;
    std::uint64_t cues_ = 0;
};
