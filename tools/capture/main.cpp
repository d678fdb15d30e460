// demo-capture: records the demo frame-exactly, as video with its soundtrack or as a PNG
// sequence, by rendering each frame at t = frame / fps off-screen and handing it to ffmpeg.
// Run it from build/, where the demo's data sit; see --help.
#include <signal.h>

#include <csignal>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "capture.hpp"
#include "encoder.hpp"
#include "options.hpp"
#include "tooling/command_line.hpp"

namespace {

constexpr int kStatusFailed = 1;

volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int)
{
    stopRequested = 1;
}

void installSignalHandlers()
{
    // A pipe write to an ffmpeg that has gone fails with EPIPE instead of killing us, and a
    // file over the size limit fails with EFBIG, so the temporary output can be removed.
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv)
{
    const char* program = "demo-capture";
    CaptureOptions options;
    std::string error;
    parseCaptureOptions(std::vector<std::string>(argv + 1, argv + argc), options, error);
    if (const std::optional<int> status = answerCommandLine(program, captureUsage(program), options.help, error))
        return *status;
    const std::string ffmpeg = findOnPath("ffmpeg");
    if (ffmpeg.empty()) {
        std::fprintf(stderr, "%s: ffmpeg is not on the PATH; install Debian's package 'ffmpeg' "
                             "(apt-get install ffmpeg). Nothing was written.\n", program);
        return kStatusFailed;
    }

    installSignalHandlers();
    try {
        runCapture(options, ffmpeg, stderr, &stopRequested);
    } catch (const std::exception& failure) {
        const std::string& target = options.out.empty() ? options.framesDir : options.out;
        std::fprintf(stderr, "\n%s: %s; nothing was written to %s\n", program,
                     stopRequested != 0 ? "interrupted" : failure.what(), target.c_str());
        return kStatusFailed;
    }
    return 0;
}
