// Builds the two quads once at start-up; see mesh.hpp. The data are uploaded once as
// static draw and never written again.
#include "show/mesh.hpp"

#include <cstddef>
#include <cstdint>

namespace {

constexpr float kScreenQuadVertices[] = {
    // x, y, z
    1.0f,  1.0f,  0.0f,  // top right
    1.0f,  -1.0f, 0.0f,  // bottom right
    -1.0f, -1.0f, 0.0f,  // bottom left
    -1.0f, 1.0f,  0.0f,  // top left
};

constexpr float kTexturedQuadVertices[] = {
    // x, y, z, r, g, b, s, t
    0.5f,  0.5f,  0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f,  // top right, red
    0.5f,  -0.5f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f,  // bottom right, green
    -0.5f, -0.5f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f,  // bottom left, blue
    -0.5f, 0.5f,  0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f,  // top left, yellow
};

// Two clockwise triangles sharing the bottom-right to top-left diagonal; culling stays off.
constexpr std::uint32_t kQuadIndices[kQuadIndexCount] = {0, 1, 3, 1, 2, 3};

constexpr GLint kPositionSize = 3;
constexpr GLint kColourSize = 3;
constexpr GLint kTexCoordSize = 2;
constexpr GLuint kPositionLocation = 0;
constexpr GLuint kColourLocation = 1;
constexpr GLuint kTexCoordLocation = 2;

const void* byteOffset(std::size_t floats)
{
    return reinterpret_cast<const void*>(floats * sizeof(float));
}

void enableFloatAttribute(GLuint location, GLint size, GLsizei strideFloats, std::size_t offsetFloats)
{
    glVertexAttribPointer(location, size, GL_FLOAT, GL_FALSE,
                          strideFloats * static_cast<GLsizei>(sizeof(float)), byteOffset(offsetFloats));
    glEnableVertexAttribArray(location);
}

// Makes the three objects and uploads both arrays with the vertex array bound, so that it
// records the element buffer; the vertex array stays bound for the attribute layout.
template <std::size_t VertexFloats>
Mesh uploadQuad(const float (&vertices)[VertexFloats])
{
    Mesh mesh;
    glGenVertexArrays(1, &mesh.vertexArray);
    glGenBuffers(1, &mesh.vertexBuffer);
    glGenBuffers(1, &mesh.elementBuffer);
    glBindVertexArray(mesh.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, mesh.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(vertices), vertices, GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.elementBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(kQuadIndices), kQuadIndices, GL_STATIC_DRAW);
    return mesh;
}

}  // namespace

Mesh buildScreenQuad()
{
    const Mesh mesh = uploadQuad(kScreenQuadVertices);
    enableFloatAttribute(kPositionLocation, kPositionSize, kPositionSize, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);  // the element buffer stays recorded in it
    return mesh;
}

Mesh buildTexturedQuad()
{
    constexpr GLsizei kStride = kPositionSize + kColourSize + kTexCoordSize;
    const Mesh mesh = uploadQuad(kTexturedQuadVertices);
    enableFloatAttribute(kPositionLocation, kPositionSize, kStride, 0);
    enableFloatAttribute(kColourLocation, kColourSize, kStride, kPositionSize);
    enableFloatAttribute(kTexCoordLocation, kTexCoordSize, kStride, kPositionSize + kColourSize);
    return mesh;
}

void deleteMesh(const Mesh& mesh)
{
    glDeleteVertexArrays(1, &mesh.vertexArray);
    glDeleteBuffers(1, &mesh.vertexBuffer);
    glDeleteBuffers(1, &mesh.elementBuffer);
}
