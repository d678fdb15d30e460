// A capture's output under a temporary name beside its final one (on the same file system, so
// the rename at the end is atomic), removed unless committed: a failed or interrupted capture
// never leaves a partial file behind, nor an old one half replaced.
#pragma once

#include <string>

class PendingPath {
public:
    enum class Kind { File, Directory };

    // Makes the temporary file or directory; `suffix` ends its name (".wav", for a tool that
    // goes by it). Throws std::runtime_error when it can't be made.
    PendingPath(const std::string& finalPath, Kind kind, const std::string& suffix = "");
    ~PendingPath();
    PendingPath(const PendingPath&) = delete;
    PendingPath& operator=(const PendingPath&) = delete;

    const std::string& path() const { return path_; }
    // Renames it to the final path. Throws std::runtime_error when it can't.
    void commit();

private:
    std::string final_;
    std::string path_;
    bool committed_ = false;
};
