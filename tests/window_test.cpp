// The window's resize handler on a real driver: the viewport follows the framebuffer to its new
// size, from the origin, whatever it was before.
#include <array>

#include "gl_test_support.hpp"
#include "window.hpp"

namespace {

class WindowGl : public GlTest {};

TEST_F(WindowGl, AFramebufferResizeSetsTheViewportToTheNewSizeAtTheOrigin)
{
    glViewport(5, 7, 11, 13);
    onFramebufferResize(window_, 1280, 720);
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 1280, 720}));
}

}  // namespace
