// GL contexts and the function loader; see gl_context.hpp.
#include "platform/gl_context.hpp"

#include <GLFW/glfw3.h>

#include <stdexcept>

#include "platform/window.hpp"

namespace {

// The window only holds the context: it is never shown, so its size is of no account.
constexpr int kHiddenWindowSize = 64;

class HiddenWindowContext : public GlContext {
public:
    HiddenWindowContext()
    {
        if (glfwInit() != GLFW_TRUE)
            throw std::runtime_error("no display to open an OpenGL context on");
        requestCoreContext();
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        GLFWwindow* window = glfwCreateWindow(kHiddenWindowSize, kHiddenWindowSize, "", nullptr, nullptr);
        if (window == nullptr) {
            glfwTerminate();
            throw std::runtime_error("no OpenGL 3.3 core context");
        }
        glfwMakeContextCurrent(window);
        if (!loadGlFunctions(glfwGetProcAddress)) {
            glfwTerminate();
            throw std::runtime_error("the OpenGL functions could not be loaded");
        }
    }
    ~HiddenWindowContext() override { glfwTerminate(); }
    HiddenWindowContext(const HiddenWindowContext&) = delete;
    HiddenWindowContext& operator=(const HiddenWindowContext&) = delete;
};

}  // namespace

bool loadGlFunctions(GLADloadfunc lookup)
{
    return gladLoadGL(lookup) != 0;
}

std::unique_ptr<GlContext> openHiddenWindowContext()
{
    return std::make_unique<HiddenWindowContext>();
}
