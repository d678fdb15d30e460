// Decodes the picture with stb_image and uploads it; see texture.hpp. The pixel format
// follows the file's own channel count, so the picture is never widened in memory.
#include "texture.hpp"

#include <stb_image.h>

#include <iostream>

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

bool fitsTexture(int width, int height)
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    return width <= maxSize && height <= maxSize;
}

}  // namespace

GLuint loadTexture()
{
    GLuint texture = 0;
    glGenTextures(1, &texture);

    // OpenGL puts the first row at t = 0, PNG puts the top row first.
    stbi_set_flip_vertically_on_load(true);
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load(kImagePath, &width, &height, &channels, 0);
    const GLenum format = pixels != nullptr ? formatFor(channels) : 0;
    if (format == 0 || !fitsTexture(width, height)) {
        stbi_image_free(pixels);
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
                 GL_UNSIGNED_BYTE, pixels);
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
    stbi_image_free(pixels);
    return texture;
}
