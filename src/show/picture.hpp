// The picture of scene 1 as pixels: the file read through the data-file guard, refused before
// decoding when its chunks claim more than it holds, and decoded by the demo's own build of
// stb_image with its top row last, as OpenGL wants it. Pure: no GL, so it is tested and fuzzed
// without a context; texture.hpp uploads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// A picture bottom row first, 8 bits a channel (1 to 4 channels), rows tightly packed. No
// pixels when the file can't be read or the decoder refuses it; `problem` then says why, in
// words fit for the person who made the file.
struct Picture {
    struct Free {
        void operator()(unsigned char* block) const;
    };
    std::unique_ptr<unsigned char, Free> pixels;
    int width = 0;
    int height = 0;
    int channels = 0;
    std::string problem;
};

// The file read whole (a regular file only: a FIFO in its place would block the reader), then
// decoded from memory: the one path from a file to pixels.
Picture readPicture(const char* path);

// The decoder and its checks on a file image in memory (what the fuzz tests feed).
Picture decodePicture(const unsigned char* bytes, std::size_t size);

// "WIDTHxHEIGHT with N channels".
std::string pictureSize(const Picture& picture);

// Turns a picture of `rows` rows of `rowBytes` upside down in place: OpenGL puts row 0 at the
// bottom, picture files and screens at the top.
void flipRows(std::uint8_t* pixels, std::size_t rowBytes, int rows);
