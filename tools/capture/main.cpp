// demo-capture: records the demo frame-exactly, as video with its soundtrack or as a PNG
// sequence, by rendering each frame at t = frame / fps off-screen and handing it to ffmpeg.
// Run it from build/, where the demo's data sit; see --help.
#include <csignal>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "capture.hpp"
#include "encoder.hpp"
#include "options.hpp"
#include "platform/interrupt.hpp"
#include "tooling/command_line.hpp"

namespace {

constexpr int kStatusFailed = 1;

// A pipe write to an ffmpeg that has gone fails with EPIPE instead of killing us, and a file
// over the size limit fails with EFBIG, so the temporary output can be removed.
void ignoreWriteSignals()
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv)
{
    const char* program = "demo-capture";
    CaptureOptions options;
    std::string error;
    parseCaptureOptions(std::vector<std::string>(argv + 1, argv + argc), options, error);
    if (const std::optional<int> status = answerCommandLine(program, captureUsage(), options.help, error))
        return *status;
    const std::string ffmpeg = findOnPath("ffmpeg");
    if (ffmpeg.empty()) {
        std::fprintf(stderr, "%s: ffmpeg is not on the PATH; install Debian's package 'ffmpeg' "
                             "(apt-get install ffmpeg). Nothing was written.\n", program);
        return kStatusFailed;
    }

    ignoreWriteSignals();
    // Ctrl-C or SIGTERM abandons the capture at the next frame, leaving nothing behind; a second
    // one ends it at once.
    catchInterrupts();
    try {
        runCapture(options, ffmpeg, stderr, interrupted);
    } catch (const std::exception& failure) {
        const std::string& target = options.out.empty() ? options.framesDir : options.out;
        std::fprintf(stderr, "\n%s: %s; nothing was written to %s\n", program,
                     interrupted() ? "interrupted" : failure.what(), target.c_str());
        return kStatusFailed;
    }
    return 0;
}
