// The picture of scene 1: "imgs/officialmolvanian2.png" (relative to the working directory),
// decoded with its top row at t = 1 and uploaded as a mipmapped, repeating, trilinear 2D
// texture. A picture that cannot be loaded is reported and the show goes on without it.
#pragma once

#include <glad/gl.h>

#include <cstddef>
#include <memory>

inline constexpr const char* kImagePath = "imgs/officialmolvanian2.png";

// Returns a freshly generated texture name in every outcome; on success the texture is
// left bound to GL_TEXTURE_2D on the active unit. On failure prints one line and nothing
// stands behind the name.
GLuint loadTexture();

// A picture as loadTexture uploads it: bottom row first, 8 bits per channel, rows tightly
// packed. No pixels and no format when the decoder or the loader's checks refuse the file.
struct Picture {
    struct Free {
        void operator()(unsigned char* block) const;
    };
    std::unique_ptr<unsigned char, Free> pixels;
    int width = 0;
    int height = 0;
    int channels = 0;
    GLenum format = 0;  // also the unsized internal format
};

// The same decoder and checks as loadTexture, on a file image in memory (for the fuzz tests);
// only what the GL driver adds, its texture size limit, is left to the upload.
Picture decodePicture(const unsigned char* bytes, std::size_t size);
