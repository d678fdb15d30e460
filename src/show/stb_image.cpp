// The project's own build of stb_image's decoder, from Debian's header. Only PNG is compiled
// in, so the picture's decoder is never picked by a file's content, and dimensions are
// capped so that a hostile header cannot make the decoder allocate gigabytes.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
// Within every desktop OpenGL 3.3 driver's usual texture size, and at most 256 MiB decoded.
#define STBI_MAX_DIMENSIONS 8192

// The decoder copies zero bytes to a null pointer for an empty IDAT chunk before any other
// (a valid PNG), which the C library leaves undefined; its copies go through one that skips
// empty ones. The standard headers it uses come first, so only the decoder's own calls change.
#include <cassert>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
void* copyBytes(void* to, const void* from, std::size_t count)
{
    return count == 0 ? to : std::memcpy(to, from, count);
}
}  // namespace
#define memcpy copyBytes

#include <stb_image.h>
