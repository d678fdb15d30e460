// ffmpeg as a child process fed raw frames through a pipe. A writer thread does the pipe
// writes, so that encoding (in ffmpeg, on the other core) overlaps the next frame's
// rendering; frames wait in a small fixed ring of buffers made once. And ffmpeg and ffprobe run
// to their end for what they say (a measurement, a join).
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The full path of an executable `name` in a directory of $PATH, or empty when there is none.
std::string findOnPath(const std::string& name);
// The same for one of ffmpeg's programs (ffmpeg, ffprobe), or empty after `program` has said on
// standard error which Debian package brings it.
std::string findFfmpegTool(const char* program, const char* name);

// What a program run to its end said, standard output and error together, and how it ended.
struct ProgramRun {
    bool ok;             // it exited with status 0
    std::string output;
};
// Runs `program` with `args` (without argv[0]), its standard input empty. Throws
// std::runtime_error when it can't be started.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args);

class FfmpegEncoder {
public:
    // Starts `program` with `args` (without argv[0]) and its standard input on the pipe.
    // Frames are `frameBytes` each. Throws std::runtime_error when it can't be started.
    FfmpegEncoder(const std::string& program, const std::vector<std::string>& args,
                  std::size_t frameBytes);
    // An encoder not finished is abandoned: ffmpeg is stopped and reaped.
    ~FfmpegEncoder();
    FfmpegEncoder(const FfmpegEncoder&) = delete;
    FfmpegEncoder& operator=(const FfmpegEncoder&) = delete;

    // The buffer for the next frame, once one is free; submit() queues it for the pipe.
    // Throws std::runtime_error, with ffmpeg's end, when ffmpeg has stopped reading.
    std::uint8_t* nextBuffer();
    void submit();

    // Writes out the queued frames, closes ffmpeg's input and waits for it to finish.
    // Throws std::runtime_error unless ffmpeg took every frame and exited with status 0.
    void finish();

private:
    void writeFrames();
    [[noreturn]] void failStopped();
    std::string reap();  // waits for ffmpeg; empty on status 0, else how it ended

    static constexpr int kBuffers = 3;

    pid_t child_ = -1;
    int pipe_ = -1;
    std::size_t frameBytes_;
    std::vector<std::uint8_t> buffers_[kBuffers];
    std::thread writer_;

    std::mutex mutex_;
    std::condition_variable changed_;
    int head_ = 0;    // next buffer the writer sends
    int queued_ = 0;  // buffers filled and not yet sent
    bool closing_ = false;
    int writeError_ = 0;  // errno of the failed write; the writer has stopped
};
