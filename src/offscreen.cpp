// Off-screen rendering at a fixed size; see offscreen.hpp.
#include "offscreen.hpp"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "egl_context.hpp"

namespace {

bool displayNamed()
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0')
            return true;
    }
    return false;
}

}  // namespace

std::unique_ptr<GlContext> openOffscreenContext()
{
    if (!displayNamed())
        return openEglContext();
    try {
        return openHiddenWindowContext();
    } catch (const std::runtime_error& windowError) {
        // A display that is named but can't be reached (a closed session's, say) is no reason
        // to give up while EGL can draw without one.
        try {
            return openEglContext();
        } catch (const std::runtime_error& eglError) {
            throw std::runtime_error(std::string(windowError.what()) + "; without the display: " + eglError.what());
        }
    }
}

OffscreenTarget::OffscreenTarget(int width, int height)
    : OffscreenTarget(width, height, openOffscreenContext())
{
}

OffscreenTarget::OffscreenTarget(int width, int height, std::unique_ptr<GlContext> context)
    : context_(std::move(context)), framebuffer_(width, height)
{
    glEnable(GL_DEPTH_TEST);
}

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
