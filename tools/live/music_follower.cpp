// The studio's music; see music_follower.hpp. The copy lives in a memfd, which the engine's
// reader opens by its /proc path like any file.
#include "music_follower.hpp"

#include <sys/mman.h>
#include <sys/sendfile.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/data_file.hpp"
#include "show/show_data.hpp"
#include "sound/music_reader.hpp"
#include "sound/tune_position.hpp"
#include "tooling/build_report.hpp"

namespace {

std::string pathOf(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

// A copy of the file in an anonymous file, or -1 with `problem` set.
int copyOfTune(std::string& problem)
{
    DataFile file(kTunePath);
    if (file.error() != 0) {
        problem = readFailure(kTunePath, file.error());
        return -1;
    }
    const int copy = memfd_create("demotune", MFD_CLOEXEC);
    if (copy < 0) {
        problem = std::string(kTunePath) + ": cannot be copied (" + std::strerror(errno) + ")";
        return -1;
    }
    for (;;) {
        const ssize_t sent = sendfile(copy, file.descriptor(), nullptr, static_cast<std::size_t>(file.size()) + 1);
        if (sent == 0)
            return copy;
        if (sent < 0 && errno != EINTR) {
            problem = readFailure(kTunePath, errno);
            close(copy);
            return -1;
        }
    }
}

}  // namespace

MusicFollower::MusicFollower(std::unique_ptr<SoundEngine> engine) : engine_(std::move(engine)) {}

MusicFollower::~MusicFollower()
{
    engine_.reset();  // the stream ends before its file goes
    if (copy_ >= 0)
        close(copy_);
}

std::string MusicFollower::load()
{
    std::string problem;
    const int copy = copyOfTune(problem);
    if (copy < 0)
        return problem;
    LoopedWav tune(pathOf(copy).c_str());
    problem = tuneProblem(tune, kTunePath);
    if (!problem.empty()) {
        close(copy);
        return problem;
    }
    if (copy_ >= 0)
        close(copy_);  // the engine's reader keeps its own descriptor until play() replaces it
    copy_ = copy;
    rate_ = tune.sampleRate();
    length_ = tune.length();
    started_ = false;
    return {};
}

void MusicFollower::follow(const LiveClock& clock)
{
    const bool audible = clock.playing() && clock.speed() == 1.0;
    if (engine_ != nullptr && copy_ >= 0 && audible && (!audible_ || !started_ || clock.cues() != cues_)) {
        // From the cue itself, not from where the clock has got to since, so that a jump is
        // heard from the very frame jumped to (a return to 1x has no cue of its own).
        const double from = clock.cues() != cues_ ? clock.cueTime() : clock.time();
        const std::uint64_t at = tuneFrameAt(from, rate_, length_);
        if (!started_) {
            engine_->play(pathOf(copy_).c_str(), at);
            started_ = true;
        } else {
            engine_->seek(at);
            engine_->resume();
        }
    } else if (engine_ != nullptr && started_ && audible_ && !audible) {
        engine_->pause();
    }
    audible_ = audible;
    cues_ = clock.cues();
}

std::optional<double> MusicFollower::heardSeconds() const
{
    if (engine_ == nullptr || !started_)
        return std::nullopt;
    return static_cast<double>(engine_->position()) / rate_;
}
