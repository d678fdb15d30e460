// The picture of scene 1 (kImagePath, relative to the working directory) on the GPU: decoded
// ahead on a thread of its own while the window is made, then uploaded as a mipmapped,
// repeating, trilinear 2D texture. A picture that cannot be shown is reported and the show goes
// on without it.
#pragma once

#include <glad/gl.h>

#include <string>

#include "show/picture.hpp"

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

// Why the demo could not show a picture read from kImagePath: the reader's refusal, or a size
// the current context's driver can't take, as "kImagePath: ..."; empty when it can.
std::string pictureProblem(const Picture& picture);

// Uploads a picture that has no problem into `texture`, a name that has no image yet, as
// loadTexture does, and leaves it bound to GL_TEXTURE_2D on the active unit.
void uploadPicture(GLuint texture, const Picture& picture);
