// PNG files for the tests; see png_file.hpp.
#include "png_file.hpp"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

std::string pngFile(int width, int height, int channels, const void* pixels)
{
    std::string file;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            static_cast<std::string*>(context)->append(static_cast<const char*>(data), std::size_t(size));
        },
        &file, width, height, channels, pixels, width * channels);
    return file;
}
