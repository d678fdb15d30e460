// The floor under the demo's start-up: the same window with the same hints and context, the
// GL functions loaded, one clear and one swap, and nothing else. startup_bench times it
// against the demo.
#include <glad/gl.h>
#include <GLFW/glfw3.h>

#include "platform/gl_context.hpp"
#include "platform/window.hpp"
#include "show/show_size.hpp"

int main()
{
    glfwInit();
    GLFWwindow* window = createDemoWindow(kShowWidth, kShowHeight);
    if (window == nullptr || !loadGlFunctions(glfwGetProcAddress))
        return 1;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glfwSwapBuffers(window);
    glfwPollEvents();
    glfwTerminate();
    return 0;
}
