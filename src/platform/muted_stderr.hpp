// Standard error pointed at the null device while one of these lives, for every thread of the
// process: the sound libraries' backends print their own complaints while a device opens (ALSA
// does on a machine without a sound card), which no setting of theirs silences.
#pragma once

class MutedStderr {
public:
    MutedStderr();
    ~MutedStderr();  // the real standard error back
    MutedStderr(const MutedStderr&) = delete;
    MutedStderr& operator=(const MutedStderr&) = delete;

private:
    int saved_ = -1;  // a copy of the real one; -1 when it could not be muted
};
