// Opens the window library's windows: the demo's fullscreen one; see window.hpp.
// Every hint not set here keeps the window library's default (RGBA8, 24-bit depth,
// 8-bit stencil, double buffering, no multisampling).
#include "platform/window.hpp"

#include <glad/gl.h>
#include <GLFW/glfw3.h>

namespace {
constexpr int kRefreshRate = 60;
}

void requestCoreContext()
{
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
}

GLFWwindow* createDemoWindow(int width, int height)
{
    requestCoreContext();
    glfwWindowHint(GLFW_MAXIMIZED, GLFW_TRUE);
    glfwWindowHint(GLFW_REFRESH_RATE, kRefreshRate);
    glfwWindowHint(GLFW_DECORATED, GLFW_FALSE);

    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    GLFWwindow* window = glfwCreateWindow(width, height, "", monitor, nullptr);
    if (window == nullptr)
        return nullptr;

    glfwMakeContextCurrent(window);
    glfwSetFramebufferSizeCallback(window, onFramebufferResize);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
    // The loop reads Escape once a frame; sticky keys keep a tap that was pressed and
    // released between two reads, which a slow frame would otherwise lose.
    glfwSetInputMode(window, GLFW_STICKY_KEYS, GLFW_TRUE);
    return window;
}

void onFramebufferResize(GLFWwindow* /*window*/, int width, int height)
{
    glViewport(0, 0, width, height);
}
