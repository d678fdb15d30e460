// Where OpenGL comes from for the programs that draw without showing a window: a context,
// current on the calling thread for the object's life, behind an interface that knows nothing
// of what provides it (a hidden window of the window library here; one without a display in
// headless_context.hpp). And the one call that loads the GL functions, given the providing
// library's lookup.
#pragma once

#include <glad/gl.h>

#include <memory>

// Resolves the OpenGL 3.3 core functions for the current context through `lookup`; false
// when the loader fails.
bool loadGlFunctions(GLADloadfunc lookup);

class GlContext {
public:
    virtual ~GlContext() = default;
};

// An OpenGL 3.3 core context on a hidden window, current, with the GL functions loaded.
// Throws std::runtime_error when there is no display or no such context. One at a time: it
// owns the window library from its start to its end.
std::unique_ptr<GlContext> openHiddenWindowContext();
