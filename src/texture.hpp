// The picture of scene 1 (kImagePath, relative to the working directory), decoded with its
// top row at t = 1 and uploaded as a mipmapped, repeating, trilinear 2D texture. A picture
// that cannot be loaded is reported and the show goes on without it.
#pragma once

#include <glad/gl.h>

#include <cstddef>
#include <memory>
#include <string>

#include "show_data.hpp"

// Returns a freshly generated texture name in every outcome; on success the texture is
// left bound to GL_TEXTURE_2D on the active unit. On failure prints one line and nothing
// stands behind the name. Takes the picture decoded ahead, if decodePictureAhead() started
// one, and reads it itself otherwise.
GLuint loadTexture();

// Starts reading and decoding the picture on a thread of its own, for the next loadTexture()
// to take: the demo starts it before main, so that decoding runs while the window is made.
// Nothing is printed from that thread; a picture that can't be loaded is still reported by
// loadTexture(), at its step. The thread is joined there, or at exit when start-up ends before
// that step. False when no thread could be started (loadTexture() then reads the file itself).
bool decodePictureAhead();

// A picture as loadTexture uploads it: bottom row first, 8 bits per channel, rows tightly
// packed. No pixels and no format when the file can't be read or the decoder or the loader's
// checks refuse it; `problem` then says why, in words fit for the person who made the file.
struct Picture {
    struct Free {
        void operator()(unsigned char* block) const;
    };
    std::unique_ptr<unsigned char, Free> pixels;
    int width = 0;
    int height = 0;
    int channels = 0;
    GLenum format = 0;  // also the unsized internal format
    std::string problem;
};

// The file read whole (a regular file only: a FIFO in its place would block the reader), then
// decoded from memory: the one path from a file to pixels, loadTexture's own.
Picture readPicture(const char* path);

// The decoder and its checks on a file image in memory (what the fuzz tests feed); only what
// the GL driver adds, its texture size limit, is left to the upload.
Picture decodePicture(const unsigned char* bytes, std::size_t size);

// Whether the current context's driver takes a texture of the picture's size.
bool fitsTexture(const Picture& picture);

// Uploads a picture that has pixels and fits into `texture`, a name that has no image yet, as
// loadTexture does, and leaves it bound to GL_TEXTURE_2D on the active unit.
void uploadPicture(GLuint texture, const Picture& picture);
