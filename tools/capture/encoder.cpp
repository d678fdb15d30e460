// The ffmpeg child and its writer thread; see encoder.hpp. posix_spawn rather than system():
// no shell between us and ffmpeg, so no quoting of paths, and the pid is ours to reap.
#include "encoder.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace {

// The pipe's buffer to ffmpeg: Linux's largest for a user unless raised.
constexpr int kPipeBytes = 1 << 20;

std::runtime_error systemError(const std::string& what, int error)
{
    return std::runtime_error(what + ": " + std::strerror(error));
}

}  // namespace

std::string findOnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
        const std::string candidate = dir + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

std::string findFfmpegTool(const char* program, const char* name)
{
    const std::string path = findOnPath(name);
    if (path.empty())
        std::fprintf(stderr, "%s: %s is not on the PATH; install Debian's package 'ffmpeg' (apt-get install ffmpeg)\n",
                     program, name);
    return path;
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args)
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        throw systemError("cannot make a pipe to " + program, errno);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t child = -1;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (spawned != 0) {
        close(ends[0]);
        throw systemError("cannot start " + program, spawned);
    }
    ProgramRun run{false, {}};
    char chunk[4096];
    for (ssize_t got; (got = read(ends[0], chunk, sizeof chunk)) != 0;)
        if (got > 0)
            run.output.append(chunk, std::size_t(got));
        else if (errno != EINTR)
            break;
    close(ends[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

FfmpegEncoder::FfmpegEncoder(const std::string& program, const std::vector<std::string>& args,
                             std::size_t frameBytes)
    : frameBytes_(frameBytes)
{
    for (std::vector<std::uint8_t>& buffer : buffers_)
        buffer.resize(frameBytes);

    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        throw systemError("cannot make a pipe to ffmpeg", errno);
    // A frame goes through in fewer turns of the writer and ffmpeg (a 4K RGBA frame is 33 MB);
    // where the system allows less, its default does.
    fcntl(ends[1], F_SETPIPE_SZ, kPipeBytes);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);  // dup2 clears CLOEXEC
    // We ignore SIGPIPE to see EPIPE; ffmpeg gets the default back.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const int spawned = posix_spawn(&child_, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(ends[0]);
    if (spawned != 0) {
        close(ends[1]);
        child_ = -1;
        throw systemError("cannot start " + program, spawned);
    }
    pipe_ = ends[1];
    writer_ = std::thread(&FfmpegEncoder::writeFrames, this);
}

FfmpegEncoder::~FfmpegEncoder()
{
    if (child_ > 0)
        kill(child_, SIGTERM);  // unblocks a writer stuck on a full pipe: its write fails
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    if (writer_.joinable())
        writer_.join();
    if (pipe_ >= 0)
        close(pipe_);
    if (child_ > 0)
        reap();
}

std::uint8_t* FfmpegEncoder::nextBuffer()
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return queued_ < kBuffers || writeError_ != 0; });
    if (writeError_ != 0) {
        lock.unlock();
        failStopped();
    }
    return buffers_[(head_ + queued_) % kBuffers].data();
}

void FfmpegEncoder::submit()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++queued_;
    }
    changed_.notify_all();
}

void FfmpegEncoder::finish()
{
    {
        std::unique_lock<std::mutex> lock(mutex_);
        closing_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return queued_ == 0 || writeError_ != 0; });
    }
    writer_.join();
    if (writeError_ != 0)
        failStopped();
    close(pipe_);  // end of input: ffmpeg flushes its encoder and writes the file's index
    pipe_ = -1;
    const std::string ended = reap();
    if (!ended.empty())
        throw std::runtime_error("ffmpeg " + ended);
}

void FfmpegEncoder::writeFrames()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return queued_ > 0 || closing_; });
        if (queued_ == 0)
            return;
        const std::uint8_t* frame = buffers_[head_].data();
        lock.unlock();
        int error = 0;
        for (std::size_t sent = 0; sent < frameBytes_ && error == 0;) {
            const ssize_t n = write(pipe_, frame + sent, frameBytes_ - sent);
            if (n > 0)
                sent += static_cast<std::size_t>(n);
            else if (errno != EINTR)
                error = errno;
        }
        lock.lock();
        if (error != 0) {
            writeError_ = error;
            changed_.notify_all();
            return;
        }
        head_ = (head_ + 1) % kBuffers;
        --queued_;
        changed_.notify_all();
    }
}

void FfmpegEncoder::failStopped()
{
    if (writer_.joinable())
        writer_.join();
    close(pipe_);
    pipe_ = -1;
    std::string ended = reap();
    if (ended.empty())
        ended = "exited";
    throw std::runtime_error("ffmpeg stopped taking frames (" + std::string(std::strerror(writeError_))
                             + "): it " + ended);
}

std::string FfmpegEncoder::reap()
{
    int status = 0;
    while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
    if (WIFEXITED(status))
        return WEXITSTATUS(status) == 0 ? "" : "exited with status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "was killed by signal " + std::to_string(WTERMSIG(status)) + " ("
             + strsignal(WTERMSIG(status)) + ")";
    return "ended abnormally";
}
