// The two quads on a real driver, seen through the pixels they cover: full screen for
// screenQuad, exactly the middle half for texturedQuad, each drawn by binding nothing but
// its vertex array.
#include <glad/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "gl_test_support.hpp"
#include "mesh.hpp"
#include "shader.hpp"

namespace {

using MeshGl = GlTest;

const Rgba kBlack{0, 0, 0, 255};
const Rgba kWhite{255, 255, 255, 255};

// A program that passes the position through and paints white.
GLuint passThroughProgram()
{
    const WorkDir dir;
    dir.write("p.vs", "#version 330 core\n"
                      "layout (location = 0) in vec3 aPos;\n"
                      "void main() { gl_Position = vec4(aPos, 1.0); }\n");
    dir.write("p.fs", "#version 330 core\nout vec4 result;\nvoid main() { result = vec4(1.0); }\n");
    return Shader("p.vs", "p.fs").programId;
}

// Draws the mesh with nothing bound but its vertex array.
void drawAlone(const Mesh& mesh, GLuint program)
{
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glUseProgram(program);
    glBindVertexArray(mesh.vertexArray);
    glDrawElements(GL_TRIANGLES, kQuadIndexCount, GL_UNSIGNED_INT, nullptr);
}

TEST_F(MeshGl, ScreenQuadCoversEveryPixelAndIsDeletedWhole)
{
    const Mesh quad = buildScreenQuad();
    drawAlone(quad, passThroughProgram());
    const std::vector<Rgba> frame = readFrame();
    for (std::size_t i = 0; i < frame.size(); ++i)
        ASSERT_EQ(frame[i], kWhite) << "pixel " << i % width_ << ", " << i / width_;

    deleteMesh(quad);
    EXPECT_FALSE(glIsVertexArray(quad.vertexArray));
    EXPECT_FALSE(glIsBuffer(quad.vertexBuffer));
    EXPECT_FALSE(glIsBuffer(quad.elementBuffer));
}

TEST_F(MeshGl, TexturedQuadCoversExactlyTheMiddleHalf)
{
    buildScreenQuad();  // built first at start-up, as the demo does
    drawAlone(buildTexturedQuad(), passThroughProgram());
    const std::vector<Rgba> frame = readFrame();
    const int lo = width_ / 4;
    const int hi = width_ * 3 / 4;  // one past the last covered pixel
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const bool inside = x >= lo && x < hi && y >= lo && y < hi;
            ASSERT_EQ(frame[static_cast<std::size_t>(y * width_ + x)], inside ? kWhite : kBlack)
                << "pixel " << x << ", " << y;
        }
}

}  // namespace
