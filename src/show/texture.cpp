// Uploads the picture, decoded ahead or on the spot; see texture.hpp. The pixel format follows
// the file's own channel count, so the picture is never widened in memory.
#include "show/texture.hpp"

#include <iostream>
#include <new>
#include <system_error>
#include <thread>

#include "platform/thread_name.hpp"
#include "show/show_data.hpp"

namespace {

// What OpenGL assumes for row starts unless told otherwise; restored after a tight upload.
constexpr GLint kDefaultUnpackAlignment = 4;

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
                    picture_ = Picture{};
                    picture_.problem = "is too large for the memory at hand";
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

// Whether the current context's driver takes a texture of the picture's size.
bool fitsTexture(const Picture& picture)
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    return picture.width <= maxSize && picture.height <= maxSize;
}

}  // namespace

std::string pictureProblem(const Picture& picture)
{
    if (!picture.pixels)
        return std::string(kImagePath) + ": " + picture.problem;
    if (fitsTexture(picture))
        return {};
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    return std::string(kImagePath) + ": decodes to " + pictureSize(picture) +
           ", which the demo cannot upload (at most " + std::to_string(maxSize) + " pixels a side)";
}

void uploadPicture(GLuint texture, const Picture& picture)
{
    const GLenum format = formatFor(picture.channels);
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
