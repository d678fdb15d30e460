// The data files' watcher; see watcher.hpp. Only events that end a change count: a close after
// writing, a move in or out, a deletion. A file being written is not read before it is closed.
#include "watcher.hpp"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <set>
#include <stdexcept>

namespace {

constexpr const char* kTop = ".";
constexpr std::uint32_t kFileEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE;
// A folder of the show's made again, by mkdir or by a move into place.
constexpr std::uint32_t kFolderEvents = IN_CREATE | IN_MOVED_TO;
// Room for many events per read; each is a header and a name of at most NAME_MAX bytes.
constexpr std::size_t kReadBytes = 64 * (sizeof(inotify_event) + NAME_MAX + 1);

std::string folderOf(const std::string& file)
{
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? kTop : file.substr(0, slash);
}

std::string inFolder(const std::string& folder, const char* name)
{
    return folder == kTop ? std::string(name) : folder + "/" + name;
}

}  // namespace

FileWatcher::FileWatcher(std::vector<std::string> files)
    : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), files_(std::move(files))
{
    if (fd_ < 0)
        throw std::runtime_error(std::string("cannot watch the data files: ") + std::strerror(errno));
    watchFolder(kTop);
    for (const std::string& file : files_)
        watchFolder(folderOf(file));
}

FileWatcher::~FileWatcher()
{
    close(fd_);
}

void FileWatcher::watchFolder(const std::string& folder)
{
    for (const auto& [descriptor, watched] : folders_)
        if (watched == folder)
            return;
    // A missing folder is watched once it appears in the top folder.
    const int descriptor = inotify_add_watch(fd_, folder.c_str(), kFileEvents | (folder == kTop ? kFolderEvents : 0));
    if (descriptor >= 0)
        folders_[descriptor] = folder;
}

std::vector<std::string> FileWatcher::changed()
{
    std::set<std::string> touched;
    alignas(inotify_event) char buffer[kReadBytes];
    for (;;) {
        const ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got <= 0)
            break;  // EAGAIN: nothing more for now
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const auto folder = folders_.find(event->wd);
            if (folder == folders_.end())
                continue;
            if (event->mask & IN_IGNORED) {  // the folder itself went
                folders_.erase(folder);
                continue;
            }
            if (event->len == 0)
                continue;
            const std::string path = inFolder(folder->second, event->name);
            if ((event->mask & IN_ISDIR) && folder->second == kTop) {
                // A folder of the show's is back: watch it, and take its files as changed.
                for (const std::string& file : files_) {
                    if (folderOf(file) == path) {
                        watchFolder(path);
                        touched.insert(file);
                    }
                }
                continue;
            }
            touched.insert(path);
        }
    }
    std::vector<std::string> files;
    for (const std::string& file : files_)
        if (touched.count(file) != 0)
            files.push_back(file);
    return files;
}
