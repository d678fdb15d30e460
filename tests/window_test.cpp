// The window's GL plumbing on a real driver: the framebuffer-size callback.
#include <array>

#include "gl_test_support.hpp"
#include "window.hpp"

namespace {

using WindowGl = GlTest;

std::array<GLint, 4> viewport()
{
    std::array<GLint, 4> v{};
    glGetIntegerv(GL_VIEWPORT, v.data());
    return v;
}

TEST_F(WindowGl, FramebufferResizeSetsTheViewportToTheNewSizeAtTheOrigin)
{
    glViewport(5, 7, 11, 13);
    onFramebufferResize(window_, 1280, 720);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 1280, 720}));

    // Through the window library itself: its size event reaches the callback.
    glfwSetFramebufferSizeCallback(window_, onFramebufferResize);
    glfwSetWindowSize(window_, 96, 48);
    for (int i = 0; i < 100 && viewport()[2] != 96; ++i)
        glfwWaitEventsTimeout(0.05);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 96, 48}));
}

}  // namespace
