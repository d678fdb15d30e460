// Off-screen rendering at the asked size, supersampled when asked; see offscreen.hpp.
#include "tooling/offscreen.hpp"

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/headless_context.hpp"

namespace {

// What drivers commonly draw at most a side.
constexpr int kMaxDrawnSide = 16384;

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

std::string pictureSizeProblem(int width, int height, int supersample)
{
    if (width < 1 || height < 1 || width > kMaxPictureWidth || height > kMaxPictureHeight)
        return "the size must be from 1x1 to " + std::to_string(kMaxPictureWidth) + "x" +
               std::to_string(kMaxPictureHeight);
    if (supersample < 1 || supersample > kMaxSupersample)
        return "the supersampling must be from 1 to " + std::to_string(kMaxSupersample);
    if (width * supersample > kMaxDrawnSide || height * supersample > kMaxDrawnSide)
        return "supersampled " + std::to_string(supersample) + " times, that size draws more than " +
               std::to_string(kMaxDrawnSide) + " pixels a side";
    return {};
}

std::unique_ptr<GlContext> openOffscreenContext()
{
    if (!displayNamed())
        return openHeadlessContext();
    try {
        return openHiddenWindowContext();
    } catch (const std::runtime_error& windowError) {
        // A display that is named but can't be reached (a closed session's, say) is no reason
        // to give up while EGL can draw without one.
        try {
            return openHeadlessContext();
        } catch (const std::runtime_error& eglError) {
            throw std::runtime_error(std::string(windowError.what()) + "; without the display: " + eglError.what());
        }
    }
}

OffscreenTarget::OffscreenTarget(int width, int height, int supersample)
    : context_(openOffscreenContext()), framebuffer_(width, height),
      supersampler_(supersample > 1 ? std::make_unique<Supersampler>(width, height, supersample) : nullptr)
{
    framebuffer_.bind();
    glEnable(GL_DEPTH_TEST);
}

void OffscreenTarget::beginFrame() const
{
    if (supersampler_)
        supersampler_->bind();
    else
        framebuffer_.bind();
}

void OffscreenTarget::endFrame() const
{
    if (supersampler_)
        supersampler_->resolveInto(framebuffer_);
}
