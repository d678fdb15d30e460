// The one way the programs open a data file (a shader, the picture, the tune): at once,
// whatever stands at the path. Anything but a regular file is refused before a byte is read:
// a FIFO would keep the reader waiting for a writer for ever, a device could be read without
// end, and a directory has no contents to read.
#pragma once

#include <cstdint>
#include <string>

class DataFile {
public:
    // Opens the file for reading; see error() for the outcome.
    explicit DataFile(const char* path);
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    // 0 once open; else the errno of the failure: EISDIR for a directory, ENXIO ("no such device
    // or address") for any other file that is not a regular one.
    int error() const { return error_; }
    // Why an error() came, as the programs report it: "not a regular file", or the errno's text.
    static std::string describe(int error);
    std::int64_t size() const { return size_; }
    // The open descriptor, blocking; -1 when it failed. release() hands it over, to be closed
    // by whoever takes it.
    int descriptor() const { return fd_; }
    int release();
    // Reads the whole file (as far as it goes, should it shrink meanwhile); false with error()
    // set when a read fails.
    bool readAll(std::string& contents);

private:
    int fd_ = -1;
    int error_ = 0;
    std::int64_t size_ = 0;
};
