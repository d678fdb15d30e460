// Progress of a long run over the show's frames; see progress.hpp.
#include "tooling/progress.hpp"

#include <unistd.h>

namespace {

constexpr int kBarWidth = 30;
constexpr int kLinesPerRun = 10;
constexpr std::chrono::milliseconds kRedrawInterval{100};

void formatDuration(char* text, std::size_t size, double seconds)
{
    const long whole = static_cast<long>(seconds + 0.5);
    std::snprintf(text, size, "%ld:%02ld", whole / 60, whole % 60);
}

}  // namespace

Progress::Progress(long total, std::FILE* out)
    : total_(total), out_(out), terminal_(out != nullptr && isatty(fileno(out)) == 1), start_(Clock::now()),
      lastDrawn_(start_)
{
}

double Progress::elapsed() const
{
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

void Progress::update(long done)
{
    if (out_ == nullptr)
        return;
    const double seconds = elapsed();
    const double rate = seconds > 0.0 ? static_cast<double>(done) / seconds : 0.0;
    char left[48];
    formatDuration(left, sizeof left, rate > 0.0 ? static_cast<double>(total_ - done) / rate : 0.0);
    if (terminal_) {
        if (Clock::now() - lastDrawn_ < kRedrawInterval && done < total_)
            return;
        lastDrawn_ = Clock::now();
        char bar[kBarWidth + 1];
        const long filled = kBarWidth * done / total_;
        for (int i = 0; i < kBarWidth; ++i)
            bar[i] = i < filled ? '#' : '-';
        bar[kBarWidth] = '\0';
        std::fprintf(out_, "\r[%s] frame %ld/%ld  %.1f fps  %s left\033[K", bar, done, total_, rate, left);
        std::fflush(out_);
    } else if (done * kLinesPerRun >= nextLine_ * total_) {
        while (done * kLinesPerRun >= nextLine_ * total_)
            ++nextLine_;
        std::fprintf(out_, "frame %ld/%ld, %.1f fps, %s left\n", done, total_, rate, left);
    }
}

void Progress::finish()
{
    if (out_ == nullptr)
        return;
    const double seconds = elapsed();
    char taken[48];
    formatDuration(taken, sizeof taken, seconds);
    std::fprintf(out_, "%s%ld frames in %s (%.1f fps)\n", terminal_ ? "\r\033[K" : "", total_, taken,
                 seconds > 0.0 ? static_cast<double>(total_) / seconds : 0.0);
}
