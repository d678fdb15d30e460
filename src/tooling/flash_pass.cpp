// The show's frames fed to the flash analyser; see flash_pass.hpp.
#include "tooling/flash_pass.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "show/timeline.hpp"

namespace {

// The bindings a pass changes, put back as they were when it ends.
class SavedBindings {
public:
    SavedBindings()
    {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw_);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read_);
        glGetIntegerv(GL_VIEWPORT, viewport_.data());
    }
    ~SavedBindings()
    {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw_));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read_));
        glViewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
    }

private:
    GLint draw_ = 0;
    GLint read_ = 0;
    std::array<GLint, 4> viewport_{};
};

// A framebuffer made without disturbing the caller's (making one binds it).
Framebuffer unbound(int width, int height)
{
    const SavedBindings saved;
    return Framebuffer(width, height);
}

}  // namespace

FlashPass::FlashPass(const Scenes& scenes)
    : scenes_(scenes), target_(unbound(kWidth, kHeight)), analyser_(kWidth, kHeight, kFps)
{
}

long FlashPass::total()
{
    return std::lround(double(kDemoEnd) * kFps) + 1;  // 0 to 109 s, both drawn
}

bool FlashPass::advance(long frames)
{
    const SavedBindings saved;
    glBindFramebuffer(GL_FRAMEBUFFER, target_.name());
    glViewport(0, 0, kWidth, kHeight);
    for (const long end = std::min(next_ + frames, total()); next_ < end; ++next_) {
        renderFrame(scenes_, static_cast<float>(static_cast<double>(next_) / kFps));
        const std::vector<std::uint8_t> rgba = target_.readRgba();
        analyser_.addRgba(rgba.data());
    }
    return done();
}
