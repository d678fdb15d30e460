// The show as the studio's window shows it: each frame rendered by the demo's own scene code
// into an off-screen target of the show's 1920x1080 (or a fraction of it in the fast preview,
// with "u_resolution" the size rendered), then scaled to fit the window, letter-boxed with its
// aspect kept. So the frame at t is the demo's frame at t, whatever the window's size.
#pragma once

#include "show/scenes.hpp"
#include "tooling/framebuffer.hpp"

class ShowView {
public:
    // Makes the targets in the current context; `previewScale` is the preview's fraction of
    // 1080p. Throws std::runtime_error when the driver can't make them.
    explicit ShowView(double previewScale);

    void setPreview(bool on) { preview_ = on; }
    bool preview() const { return preview_; }
    double previewScale() const { return previewScale_; }
    // The size frames are rendered at now.
    int width() const { return target().width(); }
    int height() const { return target().height(); }

    // Renders the frame at demo time t.
    void render(const Scenes& scenes, float t) const;
    // Draws the last frame rendered into the window's framebuffer, black around it, and leaves
    // that framebuffer bound.
    void present(int windowWidth, int windowHeight) const;

private:
    const Framebuffer& target() const { return preview_ ? small_ : full_; }

    double previewScale_;
    Framebuffer full_;
    Framebuffer small_;
    bool preview_ = false;
};
