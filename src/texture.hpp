// The picture of scene 1: "imgs/officialmolvanian2.png" (relative to the working directory),
// decoded with its top row at t = 1 and uploaded as a mipmapped, repeating, trilinear 2D
// texture. A picture that cannot be loaded is reported and the show goes on without it.
#pragma once

#include <glad/gl.h>

inline constexpr const char* kImagePath = "imgs/officialmolvanian2.png";

// Returns a freshly generated texture name in every outcome; on success the texture is
// left bound to GL_TEXTURE_2D on the active unit. On failure prints one line and nothing
// stands behind the name.
GLuint loadTexture();
