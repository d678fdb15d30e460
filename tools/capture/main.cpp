// demo-capture: records the demo frame-exactly, as video with its soundtrack, as a PNG sequence
// or as a part of a capture made apart, by rendering each frame at t = frame / fps off-screen
// and handing it to ffmpeg; or joins such parts into one video. Run it from build/, where the
// demo's data sit; see --help.
#include <csignal>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "capture.hpp"
#include "encoder.hpp"
#include "join.hpp"
#include "options.hpp"
#include "platform/interrupt.hpp"
#include "tooling/command_line.hpp"

namespace {

constexpr int kStatusFailed = 1;
constexpr const char* kProgram = "demo-capture";

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
    CaptureOptions options;
    std::string error;
    parseCaptureOptions(std::vector<std::string>(argv + 1, argv + argc), options, error);
    if (const std::optional<int> status = answerCommandLine(kProgram, captureUsage(), options.help, error))
        return *status;
    const bool join = !options.joined.empty();
    const std::string ffmpeg = findFfmpegTool(kProgram, "ffmpeg");
    const std::string ffprobe = join ? findFfmpegTool(kProgram, "ffprobe") : std::string();
    if (ffmpeg.empty() || (join && ffprobe.empty()))
        return kStatusFailed;

    ignoreWriteSignals();
    // Ctrl-C or SIGTERM abandons the capture at the next frame, leaving nothing behind; a second
    // one ends it at once.
    catchInterrupts();
    try {
        if (join)
            joinParts(options, ffmpeg, ffprobe, stdout);
        else
            runCapture(options, ffmpeg, stderr, interrupted, stdout);
    } catch (const std::exception& failure) {
        const std::string& target = !options.framesDir.empty() ? options.framesDir
                                  : !options.part.empty()      ? options.part
                                                               : options.out;
        std::fprintf(stderr, "\n%s: %s; nothing was written to %s\n", kProgram,
                     interrupted() ? "interrupted" : failure.what(), target.c_str());
        return kStatusFailed;
    }
    return 0;
}
