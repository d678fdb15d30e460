// Temporary outputs; see pending_path.hpp.
#include "pending_path.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {
constexpr mode_t kCreateMode = 0666;
}

PendingPath::PendingPath(const std::string& finalPath, Kind kind, const std::string& suffix) : final_(finalPath)
{
    const fs::path target(finalPath);
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (dir / ("." + target.filename().string() + ".partial-XXXXXX")).string() + suffix;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (kind == Kind::Directory) {
        if (mkdtemp(name.data()) == nullptr)
            throw std::runtime_error("cannot create a directory in " + dir.string() + ": " + std::strerror(errno));
    } else {
        const int fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
        if (fd < 0)
            throw std::runtime_error("cannot create a file in " + dir.string() + ": " + std::strerror(errno));
        // mkstemp's 0600 would survive the rename; give the file the usual mode instead.
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, kCreateMode & ~mask);
        close(fd);
    }
    path_ = name.data();
}

PendingPath::~PendingPath()
{
    if (!committed_) {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
}

void PendingPath::commit()
{
    if (std::rename(path_.c_str(), final_.c_str()) != 0)
        throw std::runtime_error("cannot rename " + path_ + " to " + final_ + ": " + std::strerror(errno));
    committed_ = true;
}
