// The web build's stand-in for the desktop's generated GL loader: in a browser the library's
// GL calls go straight to emscripten's WebGL2 bindings, which declare OpenGL ES 3.0. Every
// call and constant the shared code draws with is in ES 3.0; the few that are not are kept
// out of the web build where they are used (the texture swizzle).
#pragma once

#include <GLES3/gl3.h>
