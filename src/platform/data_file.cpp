// Data files: what every platform shares once the file is open (reading it whole, closing it,
// naming a failure). Opening it, where the platforms differ, is in data_file_open.cpp; see
// data_file.hpp.
#include "platform/data_file.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>

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
