// The two quads on a real driver, seen through the pixels they cover, each drawn by binding
// nothing but its vertex array: full screen for screenQuad, exactly the middle half (pixels
// just inside and just outside each edge) for texturedQuad.
#include "gl_test_support.hpp"
#include "mesh.hpp"
#include "shader.hpp"

namespace {

using MeshGl = GlTest;

TEST_F(MeshGl, EachQuadCoversItsPixelsFromItsVertexArrayAlone)
{
    const WorkDir dir;  // a program that passes the position through and paints white
    dir.write("p.vs", "#version 330 core\nlayout (location = 0) in vec3 aPos;\n"
                      "void main() { gl_Position = vec4(aPos, 1.0); }\n");
    dir.write("p.fs", "#version 330 core\nout vec4 result;\nvoid main() { result = vec4(1.0); }\n");
    glUseProgram(Shader("p.vs", "p.fs").programId);
    const Mesh screenQuad = buildScreenQuad();  // built first, as the demo does
    const Mesh texturedQuad = buildTexturedQuad();
    for (const auto& [quad, margin] : {std::pair{screenQuad, 0}, std::pair{texturedQuad, kSize / 4}}) {
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBindVertexArray(quad.vertexArray);
        glDrawElements(GL_TRIANGLES, kQuadIndexCount, GL_UNSIGNED_INT, nullptr);
        const std::vector<Rgba> frame = readFrame();
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const bool inside = std::min({x, y, kSize - 1 - x, kSize - 1 - y}) >= margin;
                ASSERT_EQ(at(frame, x, y), (inside ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 0}))
                    << "pixel " << x << ", " << y << " of the quad with margin " << margin;
            }
    }

    deleteMesh(screenQuad);  // all three of its objects
    EXPECT_FALSE(glIsVertexArray(screenQuad.vertexArray));
    EXPECT_FALSE(glIsBuffer(screenQuad.vertexBuffer));
    EXPECT_FALSE(glIsBuffer(screenQuad.elementBuffer));
}

}  // namespace
