// An OpenGL context that needs no window and no display at all, for the programs that render
// off-screen on a server or in a plain CI job: EGL on Mesa's surfaceless platform, or on the
// first device EGL lists (the GPU vendors' way, and Mesa's software device) where that is missing.
#pragma once

#include <memory>

#include "gl_context.hpp"

// An OpenGL 3.3 core context with no surface, current, with the GL functions loaded. Throws
// std::runtime_error saying which step failed when EGL offers no such context.
std::unique_ptr<GlContext> openEglContext();
