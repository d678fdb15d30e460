// Averaging pixels down; see pixels.hpp.
#include "tooling/pixels.hpp"

#include <algorithm>

std::vector<std::uint8_t> downscaleRgba(const std::vector<std::uint8_t>& rgba, int width, int height,
                                        int toWidth, int toHeight)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(toWidth) * toHeight * 4);
    for (int oy = 0; oy < toHeight; ++oy) {
        const int y0 = oy * height / toHeight;
        const int y1 = std::max(y0 + 1, (oy + 1) * height / toHeight);
        for (int ox = 0; ox < toWidth; ++ox) {
            const int x0 = ox * width / toWidth;
            const int x1 = std::max(x0 + 1, (ox + 1) * width / toWidth);
            unsigned sum[4] = {0, 0, 0, 0};
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    for (int c = 0; c < 4; ++c)
                        sum[c] += rgba[(static_cast<std::size_t>(y) * width + x) * 4 + c];
            const unsigned count = static_cast<unsigned>((y1 - y0) * (x1 - x0));
            for (int c = 0; c < 4; ++c)
                out[(static_cast<std::size_t>(oy) * toWidth + ox) * 4 + c] =
                    static_cast<std::uint8_t>((sum[c] + count / 2) / count);
        }
    }
    return out;
}
