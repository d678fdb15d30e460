// Progress of a long run over the show's frames (a capture, the flash check) on standard error:
// a bar redrawn in place on a terminal, or a plain line every tenth of the way when the output
// goes to a file or a pipe (logs stay readable).
#pragma once

#include <chrono>
#include <cstdio>

class Progress {
public:
    // Shows nothing when `out` is null.
    Progress(long total, std::FILE* out);
    // After each frame; cheap when nothing needs drawing.
    void update(long done);
    // The last line: frames, time taken, rate.
    void finish();

private:
    using Clock = std::chrono::steady_clock;
    double elapsed() const;

    long total_;
    std::FILE* out_;
    bool terminal_;
    Clock::time_point start_;
    Clock::time_point lastDrawn_;
    long nextLine_ = 1;  // the next tenth that gets a plain line
};
