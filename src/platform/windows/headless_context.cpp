// The display-less context on Windows, where there is no EGL to be had: a hidden window's,
// which needs no display there; see headless_context.hpp.
#include "platform/headless_context.hpp"

std::unique_ptr<GlContext> openHeadlessContext()
{
    return openHiddenWindowContext();
}
