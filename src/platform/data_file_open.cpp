// Data files opened without waiting on them (POSIX); see data_file.hpp.
#include "platform/data_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

DataFile::DataFile(const char* path)
{
    // Without blocking, so that a FIFO opens at once and is then seen for what it is.
    fd_ = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (fd_ < 0 || fstat(fd_, &st) != 0)
        error_ = errno;
    else if (S_ISDIR(st.st_mode))
        error_ = EISDIR;
    else if (!S_ISREG(st.st_mode))
        error_ = ENXIO;
    else if (fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK) != 0)
        error_ = errno;
    size_ = st.st_size;
    if (error_ != 0 && fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}
