// Decodes the picture with stb_image and uploads it; see texture.hpp. The pixel format
// follows the file's own channel count, so the picture is never widened in memory.
#include "texture.hpp"

#include <stb_image.h>

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <limits>

namespace {

// What OpenGL assumes for row starts unless told otherwise; restored after a tight upload.
constexpr GLint kDefaultUnpackAlignment = 4;

// The pixel format, also used as the unsized internal format; 0 when there is none.
GLenum formatFor(int channels)
{
    switch (channels) {
    case 1: return GL_RED;
    case 2: return GL_RG;  // grey and alpha, spread back out by a swizzle below
    case 3: return GL_RGB;
    case 4: return GL_RGBA;
    default: return 0;
    }
}

// Takes the decoder's result; keeps the pixels only with a format to upload them in.
Picture accepted(unsigned char* pixels, int width, int height, int channels)
{
    Picture picture;
    picture.pixels.reset(pixels);
    picture.format = pixels != nullptr ? formatFor(channels) : 0;
    if (picture.format == 0) {
        picture.pixels.reset();
        return picture;
    }
    picture.width = width;
    picture.height = height;
    picture.channels = channels;
    return picture;
}

// The decoder sizes its buffer for a chunk by the length the chunk declares before reading it,
// so a few bytes could make it ask for gigabytes. A file whose chunks claim more than it holds
// is refused first; readAt(offset, header) reads a chunk header's 8 bytes, false at the end.
constexpr std::uint64_t kSignatureBytes = 8;
constexpr std::uint64_t kChunkHeaderBytes = 8;
constexpr std::uint64_t kChunkCrcBytes = 4;
constexpr std::size_t kLengthBytes = 4;  // also the type's

template <typename ReadAt>
bool chunksFit(std::uint64_t size, ReadAt readAt)
{
    unsigned char header[kChunkHeaderBytes];
    std::uint64_t at = kSignatureBytes;
    while (at + kChunkHeaderBytes <= size && readAt(at, header)) {
        const std::uint64_t length = std::uint64_t{header[0]} << 24 | std::uint64_t{header[1]} << 16
            | std::uint64_t{header[2]} << 8 | std::uint64_t{header[3]};
        at += kChunkHeaderBytes;
        if (length > size - at)
            return false;
        if (std::memcmp(header + kLengthBytes, "IEND", kLengthBytes) == 0)
            return true;  // the decoder reads no further, whatever follows
        at += length + kChunkCrcBytes;
    }
    return true;
}

// Decodes from an open file, as stbi_load does once it has opened it.
Picture readPicture(std::FILE* file)
{
    struct stat st {};
    const bool fits = fstat(fileno(file), &st) == 0
        && chunksFit(static_cast<std::uint64_t>(st.st_size), [file](std::uint64_t at, unsigned char* header) {
               return at <= static_cast<std::uint64_t>(std::numeric_limits<long>::max())
                   && std::fseek(file, static_cast<long>(at), SEEK_SET) == 0
                   && std::fread(header, 1, kChunkHeaderBytes, file) == kChunkHeaderBytes;
           });
    if (!fits || std::fseek(file, 0, SEEK_SET) != 0)
        return {};
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_file(file, &width, &height, &channels, 0);
    return accepted(pixels, width, height, channels);
}

bool fitsTexture(int width, int height)
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    return width <= maxSize && height <= maxSize;
}

}  // namespace

void Picture::Free::operator()(unsigned char* block) const
{
    stbi_image_free(block);
}

Picture decodePicture(const unsigned char* bytes, std::size_t size)
{
    const bool fits = size <= static_cast<std::size_t>(std::numeric_limits<int>::max())
        && chunksFit(size, [bytes](std::uint64_t at, unsigned char* header) {
               std::memcpy(header, bytes + at, kChunkHeaderBytes);
               return true;
           });
    if (!fits)
        return {};
    stbi_set_flip_vertically_on_load(true);
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 0);
    return accepted(pixels, width, height, channels);
}

GLuint loadTexture()
{
    GLuint texture = 0;
    glGenTextures(1, &texture);

    // OpenGL puts the first row at t = 0, PNG puts the top row first.
    stbi_set_flip_vertically_on_load(true);
    Picture picture;
    if (std::FILE* file = std::fopen(kImagePath, "rb")) {
        picture = readPicture(file);
        std::fclose(file);
    }
    const GLenum format = picture.format;
    const int width = picture.width;
    const int height = picture.height;
    const int channels = picture.channels;
    if (format == 0 || !fitsTexture(width, height)) {
        std::cout << "Texture failed to load at path: " << kImagePath << std::endl;
        return texture;
    }

    glBindTexture(GL_TEXTURE_2D, texture);
    // Rows are packed tightly; a row length off the default alignment would otherwise be
    // read as padded, past the end of the block.
    const bool tightRows = (width * channels) % kDefaultUnpackAlignment != 0;
    if (tightRows)
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format,
                 GL_UNSIGNED_BYTE, picture.pixels.get());
    if (tightRows)
        glPixelStorei(GL_UNPACK_ALIGNMENT, kDefaultUnpackAlignment);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (channels == 2) {
        const GLint greyAlpha[] = {GL_RED, GL_RED, GL_RED, GL_GREEN};
        glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, greyAlpha);
    }
    return texture;  // the pixels go with the picture
}
