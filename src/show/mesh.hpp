// The demo's two quads, each two indexed triangles kept on the GPU for the whole run:
// screenQuad covers the whole screen (position only) for the full-screen effects,
// texturedQuad the middle half (position, colour, texture coordinate) for the picture.
#pragma once

#include <glad/gl.h>

// The three GL names of one quad. Its vertex array records the attribute layout and the
// element buffer, so binding the vertex array alone is enough to draw it.
struct Mesh {
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
    GLuint elementBuffer = 0;
};

// Indices of one quad: draw with glDrawElements(GL_TRIANGLES, kQuadIndexCount,
// GL_UNSIGNED_INT, nullptr) after binding its vertex array.
inline constexpr GLsizei kQuadIndexCount = 6;

// Corners at plus and minus 1; attribute 0 is the position.
Mesh buildScreenQuad();
// Corners at plus and minus 0.5; attributes 0, 1 and 2 are position, colour and texture
// coordinate, with the picture's (0, 0) at the bottom left. Leaves its arrays bound.
Mesh buildTexturedQuad();
// Vertex array, then vertex buffer, then element buffer.
void deleteMesh(const Mesh& mesh);
