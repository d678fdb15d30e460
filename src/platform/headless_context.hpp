// An OpenGL context that needs no display at all, for the programs that render off-screen on a
// server or in a plain CI job. On Linux, EGL on Mesa's surfaceless platform, or on the first
// device EGL lists (the GPU vendors' way, and Mesa's software device) where that is missing; on
// Windows, where a hidden window needs no display, that window's.
#pragma once

#include <memory>

#include "platform/gl_context.hpp"

// An OpenGL 3.3 core context with no surface, current, with the GL functions loaded. Throws
// std::runtime_error saying which step failed when there is no such context.
std::unique_ptr<GlContext> openHeadlessContext();
