// Decodes the picture with stb_image and uploads it; see texture.hpp. The pixel format
// follows the file's own channel count, so the picture is never widened in memory.
#include "texture.hpp"

#include <stb_image.h>

#include <cstring>
#include <iostream>
#include <limits>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "data_file.hpp"
#include "thread_name.hpp"

namespace {

// What OpenGL assumes for row starts unless told otherwise; restored after a tight upload.
constexpr GLint kDefaultUnpackAlignment = 4;

// Where the decoder reads an empty file from: it wants a pointer even for no bytes.
const unsigned char kNoBytes[1] = {};

// Grey and alpha: desktop core profiles dropped the luminance-alpha format, so the two
// channels go up as red and green and a swizzle spreads them back out; WebGL2 has no swizzle
// but keeps the format, which samples as grey, grey, grey, alpha by itself.
#ifdef __EMSCRIPTEN__
constexpr GLenum kGreyAlphaFormat = GL_LUMINANCE_ALPHA;
void spreadGreyAlpha() {}
#else
constexpr GLenum kGreyAlphaFormat = GL_RG;
void spreadGreyAlpha()
{
    const GLint greyAlpha[] = {GL_RED, GL_RED, GL_RED, GL_GREEN};
    glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, greyAlpha);
}
#endif

// The pixel format, also used as the unsized internal format; 0 when there is none.
GLenum formatFor(int channels)
{
    switch (channels) {
    case 1: return GL_RED;
    case 2: return kGreyAlphaFormat;
    case 3: return GL_RGB;
    case 4: return GL_RGBA;
    default: return 0;
    }
}

// What readPicture and decodePicture say of a file they can't use.
Picture refused(std::string problem)
{
    Picture picture;
    picture.problem = std::move(problem);
    return picture;
}

Picture unreadable(int error)
{
    return refused("cannot be read (" + DataFile::describe(error) + ")");
}

Picture undecodable(const char* reason)
{
    return refused(std::string("the demo's PNG decoder refuses it (") + reason + ")");
}

// Takes the decoder's result; keeps the pixels only with a format to upload them in.
Picture accepted(unsigned char* pixels, int width, int height, int channels)
{
    if (pixels == nullptr)
        return undecodable(stbi_failure_reason());
    Picture picture;
    picture.pixels.reset(pixels);
    picture.format = formatFor(channels);
    if (picture.format == 0)
        return undecodable((std::to_string(channels) + " channels").c_str());
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

constexpr char kDecoderThreadName[] = "picture";

// The show's picture decoded on a thread of its own, from decodePictureAhead() until
// loadTexture() takes it. The join hands the picture over, so nothing is shared while the
// thread runs.
class PictureAhead {
public:
    ~PictureAhead()
    {
        if (decoder_.joinable())
            decoder_.join();
    }

    bool start()
    {
        if (decoder_.joinable())
            return true;
        try {
            decoder_ = std::thread([this] {
                nameThisThread(kDecoderThreadName);
                try {
                    picture_ = readPicture(kImagePath);
                } catch (const std::bad_alloc&) {
                    picture_ = refused("is too large for the memory at hand");
                }
            });
        } catch (const std::system_error&) {
            return false;
        }
        return true;
    }

    // The picture decoded ahead once it is done, or read now when none was started.
    Picture take()
    {
        if (!decoder_.joinable())
            return readPicture(kImagePath);
        decoder_.join();
        return std::move(picture_);
    }

private:
    std::thread decoder_;
    Picture picture_;
};

// Made on first use, which in the demo is its static initialisation; destroyed, and so joined,
// at exit.
PictureAhead& pictureAhead()
{
    static PictureAhead ahead;
    return ahead;
}

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
        return unreadable(file.error());
    return decodePicture(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

bool fitsTexture(const Picture& picture)
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    return picture.width <= maxSize && picture.height <= maxSize;
}

void uploadPicture(GLuint texture, const Picture& picture)
{
    const GLenum format = picture.format;
    const int width = picture.width;
    const int height = picture.height;
    const int channels = picture.channels;

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
    if (channels == 2)
        spreadGreyAlpha();
}

GLuint loadTexture()
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    const Picture picture = pictureAhead().take();
    if (!picture.pixels || !fitsTexture(picture)) {
        std::cout << "Texture failed to load at path: " << kImagePath << std::endl;
        return texture;
    }
    uploadPicture(texture, picture);
    return texture;  // the pixels go with the picture
}

bool decodePictureAhead()
{
    return pictureAhead().start();
}
