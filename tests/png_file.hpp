// PNG files made by the tests, with stb's writer: pictures for the picture's readers, and the
// frames a failing GL test leaves behind.
#pragma once

#include <string>

// The bytes of a PNG file of the given pixels, top row first, rows tightly packed.
std::string pngFile(int width, int height, int channels, const void* pixels);
