// Data files opened on Windows; see data_file.hpp. CreateFile asks for nothing that waits, and
// only a file on a disk is taken: a named pipe or a device is refused at once, as a FIFO is on
// Linux.
#include "platform/data_file.hpp"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>

namespace {

int errnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    default:
        return EIO;
    }
}

}  // namespace

DataFile::DataFile(const char* path)
{
    // Backup semantics open a directory too, so that it can be told for what it is.
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error_ = errnoOf(GetLastError());
        return;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK)
        error_ = ENXIO;
    else if (!GetFileInformationByHandle(file, &info))
        error_ = errnoOf(GetLastError());
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        error_ = EISDIR;
    size_ = static_cast<std::int64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    if (error_ == 0)
        fd_ = _open_osfhandle(reinterpret_cast<std::intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (fd_ < 0) {
        CloseHandle(file);
        error_ = error_ != 0 ? error_ : EIO;
    }
}
