// Data files opened without waiting on them; see data_file.hpp.
#include "data_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

DataFile::~DataFile()
{
    if (fd_ >= 0)
        close(fd_);
}

std::string DataFile::describe(int error)
{
    return error == ENXIO ? "not a regular file" : std::strerror(error);
}

int DataFile::release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

bool DataFile::readAll(std::string& contents)
{
    if (fd_ < 0)
        return false;
    contents.assign(static_cast<std::size_t>(size_), '\0');
    std::size_t got = 0;
    while (got < contents.size()) {
        const ssize_t n = read(fd_, contents.data() + got, contents.size() - got);
        if (n == 0)
            break;
        if (n > 0) {
            got += static_cast<std::size_t>(n);
        } else if (errno != EINTR) {
            error_ = errno;
            return false;
        }
    }
    contents.resize(got);
    return true;
}
