// Off-screen rendering at a fixed size; see offscreen.hpp.
#include "tooling/offscreen.hpp"

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/headless_context.hpp"

namespace {

bool displayNamed()
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0')
            return true;
    }
    return false;
}

}  // namespace

std::unique_ptr<GlContext> openOffscreenContext()
{
    if (!displayNamed())
        return openHeadlessContext();
    try {
        return openHiddenWindowContext();
    } catch (const std::runtime_error& windowError) {
        // A display that is named but can't be reached (a closed session's, say) is no reason
        // to give up while EGL can draw without one.
        try {
            return openHeadlessContext();
        } catch (const std::runtime_error& eglError) {
            throw std::runtime_error(std::string(windowError.what()) + "; without the display: " + eglError.what());
        }
    }
}

OffscreenTarget::OffscreenTarget(int width, int height)
    : context_(openOffscreenContext()), framebuffer_(width, height)
{
    glEnable(GL_DEPTH_TEST);
}
