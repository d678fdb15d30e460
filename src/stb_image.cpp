// The project's own build of stb_image's decoder, from Debian's header. Only PNG is compiled
// in, so the picture's decoder is never picked by a file's content, and dimensions are
// capped so that a hostile header cannot make the decoder allocate gigabytes.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
// Within every desktop OpenGL 3.3 driver's usual texture size, and at most 256 MiB decoded.
#define STBI_MAX_DIMENSIONS 8192
#include <stb_image.h>
