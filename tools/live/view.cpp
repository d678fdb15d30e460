// The studio's view of the show; see view.hpp. Scaling is a linear-filtered blit, so a window
// of half the show's size shows each 2x2 block of the frame averaged.
#include "view.hpp"

#include <algorithm>
#include <cmath>

#include "show/show_size.hpp"

namespace {

int scaled(int size, double scale)
{
    return std::max(1, static_cast<int>(std::lround(size * scale)));
}

// Where a picture of one size goes in a window of another: as large as fits, centred.
struct Placement {
    int x, y, width, height;
};

Placement letterbox(int width, int height, int windowWidth, int windowHeight)
{
    const double scale = std::min(static_cast<double>(windowWidth) / width, static_cast<double>(windowHeight) / height);
    const int fitWidth = std::min(windowWidth, scaled(width, scale));
    const int fitHeight = std::min(windowHeight, scaled(height, scale));
    return {(windowWidth - fitWidth) / 2, (windowHeight - fitHeight) / 2, fitWidth, fitHeight};
}

}  // namespace

ShowView::ShowView(double previewScale)
    : previewScale_(previewScale),
      full_(kShowWidth, kShowHeight),
      small_(scaled(kShowWidth, previewScale), scaled(kShowHeight, previewScale))
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void ShowView::render(const Scenes& scenes, float t) const
{
    const Framebuffer& into = target();
    glBindFramebuffer(GL_FRAMEBUFFER, into.name());
    glViewport(0, 0, into.width(), into.height());
    glEnable(GL_DEPTH_TEST);
    renderFrame(scenes, t, {static_cast<float>(into.width()), static_cast<float>(into.height())});
}

void ShowView::present(int windowWidth, int windowHeight) const
{
    const Framebuffer& from = target();
    const Placement to = letterbox(from.width(), from.height(), windowWidth, windowHeight);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from.name());
    glBlitFramebuffer(0, 0, from.width(), from.height(), to.x, to.y, to.x + to.width, to.y + to.height,
                      GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
