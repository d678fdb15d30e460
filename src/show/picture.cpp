// Reads and decodes the picture with stb_image; see picture.hpp. The decoder keeps the file's
// own channel count, so the picture is never widened in memory.
#include "show/picture.hpp"

#include <stb_image.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/data_file.hpp"

namespace {

// Where the decoder reads an empty file from: it wants a pointer even for no bytes.
const unsigned char kNoBytes[1] = {};
constexpr int kMostChannels = 4;

Picture refused(std::string problem)
{
    Picture picture;
    picture.problem = std::move(problem);
    return picture;
}

Picture undecodable(const std::string& reason)
{
    return refused("the demo's PNG decoder refuses it (" + reason + ")");
}

// Takes the decoder's result.
Picture accepted(unsigned char* pixels, int width, int height, int channels)
{
    if (pixels == nullptr)
        return undecodable(stbi_failure_reason());
    Picture picture;
    picture.pixels.reset(pixels);
    if (channels < 1 || channels > kMostChannels)
        return undecodable(std::to_string(channels) + " channels");
    picture.width = width;
    picture.height = height;
    picture.channels = channels;
    return picture;
}

// The decoder sizes its buffer for a chunk by the length the chunk declares before reading it,
// so a few bytes could make it ask for gigabytes. A file whose chunks claim more than it holds
// is refused first.
constexpr std::size_t kSignatureBytes = 8;
constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kChunkCrcBytes = 4;
constexpr std::size_t kLengthBytes = 4;  // also the type's

bool chunksFit(const unsigned char* bytes, std::size_t size)
{
    std::size_t at = kSignatureBytes;
    while (at + kChunkHeaderBytes <= size) {
        const unsigned char* header = bytes + at;
        const std::size_t length = std::size_t{header[0]} << 24 | std::size_t{header[1]} << 16
            | std::size_t{header[2]} << 8 | std::size_t{header[3]};
        at += kChunkHeaderBytes;
        if (length > size - at)
            return false;
        if (std::memcmp(header + kLengthBytes, "IEND", kLengthBytes) == 0)
            return true;  // the decoder reads no further, whatever follows
        at += length + kChunkCrcBytes;
    }
    return true;
}

// No picture the decoder accepts (at most 8192 pixels a side, 4 bytes each) takes more than
// this even stored without compression; a larger file is refused before it is read.
constexpr off_t kMaxFileBytes = off_t{320} << 20;

}  // namespace

void Picture::Free::operator()(unsigned char* block) const
{
    stbi_image_free(block);
}

Picture decodePicture(const unsigned char* bytes, std::size_t size)
{
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return undecodable("larger than any picture it takes");
    if (!chunksFit(bytes, size))
        return undecodable("a chunk claims more bytes than the file holds");
    // OpenGL puts the first row at t = 0, PNG puts the top row first.
    stbi_set_flip_vertically_on_load(true);
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(size > 0 ? bytes : kNoBytes, static_cast<int>(size), &width,
                                            &height, &channels, 0);
    return accepted(pixels, width, height, channels);
}

Picture readPicture(const char* path)
{
    DataFile file(path);
    std::string bytes;
    if (file.error() == 0 && file.size() > kMaxFileBytes)
        return undecodable("larger than any picture it takes");
    // A file cut short while it is read is decoded as far as it goes.
    if (!file.readAll(bytes))
        return refused("cannot be read (" + DataFile::describe(file.error()) + ")");
    return decodePicture(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::string pictureSize(const Picture& picture)
{
    return std::to_string(picture.width) + "x" + std::to_string(picture.height) + " with " +
           std::to_string(picture.channels) + " channels";
}

void flipRows(std::uint8_t* pixels, std::size_t rowBytes, int rows)
{
    for (int top = 0, bottom = rows - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(pixels + static_cast<std::size_t>(top) * rowBytes,
                         pixels + static_cast<std::size_t>(top + 1) * rowBytes,
                         pixels + static_cast<std::size_t>(bottom) * rowBytes);
}
