// libFuzzer target for the picture path: any bytes through the project's PNG decoder build and
// its checks, from memory. A picture that passes must be one the upload can read whole: sane
// sizes, 1 to 4 channels, and a pixel block as long as they say (AddressSanitizer checks).
#include <cstddef>
#include <cstdint>

#include "show/picture.hpp"

namespace {
constexpr int kMaxSide = 8192;  // the decoder build's cap
constexpr int kMaxChannels = 4;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Picture picture = decodePicture(data, size);
    if (!picture.problem.empty()) {
        if (picture.pixels)
            __builtin_trap();  // refused pictures keep nothing
        return 0;
    }
    if (!picture.pixels || picture.width < 1 || picture.height < 1 || picture.width > kMaxSide
        || picture.height > kMaxSide || picture.channels < 1 || picture.channels > kMaxChannels)
        __builtin_trap();
    const std::size_t bytes = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)
        * static_cast<std::size_t>(picture.channels);
    // The upload reads from the first byte to the last.
    const volatile unsigned char first = picture.pixels.get()[0];
    const volatile unsigned char last = picture.pixels.get()[bytes - 1];
    static_cast<void>(first);
    static_cast<void>(last);
    return 0;
}
