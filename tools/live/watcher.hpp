// Watches the show's data files for changes with inotify. It watches the folders that hold
// them rather than the files, so that a file saved by rename (as vim and most editors save),
// deleted, or deleted and made again is seen as well as one rewritten in place; a folder that
// is removed and made again is watched again.
#pragma once

#include <map>
#include <string>
#include <vector>

// How long the studio waits for input, while nothing moves, before it looks at the files again.
inline constexpr double kIdleWaitSeconds = 0.005;

class FileWatcher {
public:
    // `files` are relative to the working directory; their folders must lie directly in it.
    // Throws std::runtime_error when inotify can't be had.
    explicit FileWatcher(std::vector<std::string> files);
    ~FileWatcher();
    FileWatcher(const FileWatcher&) = delete;
    FileWatcher& operator=(const FileWatcher&) = delete;

    // The files changed since the last call (closed after writing, moved into place, deleted
    // or moved away), each once, in the order given; returns at once.
    std::vector<std::string> changed();

private:
    void watchFolder(const std::string& folder);

    int fd_;
    std::vector<std::string> files_;
    std::map<int, std::string> folders_;  // watch descriptor to folder ("." for the top)
};
