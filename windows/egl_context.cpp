// The display-less context on Windows, where there is no EGL to be had: a hidden window's,
// which needs no display there; see egl_context.hpp.
#include "egl_context.hpp"

std::unique_ptr<GlContext> openEglContext()
{
    return openHiddenWindowContext();
}
