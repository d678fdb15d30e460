// A picture under construction: colours as doubles in 0..1 (sRGB), painted layer by layer
// with fractional coverage, which is how every shape gets its anti-aliased edge.
#pragma once

#include <cstdint>
#include <vector>

namespace paint {

struct Colour {
    double r, g, b;
};

Colour mix(Colour a, Colour b, double t);
Colour scale(Colour c, double k);

// Coverage of a pixel by a shape, from the signed distance (in pixels, negative inside) of
// the pixel's centre to the shape's edge: a one-pixel ramp across the edge.
double coverage(double signedDistance);

double clamp01(double v);
double smoothstep(double edge0, double edge1, double x);

class Canvas {
public:
    Canvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    Colour at(int x, int y) const { return pixels_[index(x, y)]; }
    void set(int x, int y, Colour c) { pixels_[index(x, y)] = c; }
    // Lays `c` over the pixel with the given opacity.
    void blend(int x, int y, Colour c, double opacity);

    // Calls paint(x, y, px, py) for each pixel of the box (clipped to the canvas), where
    // px, py is the pixel's centre.
    template <typename Paint>
    void forEachPixel(double x0, double y0, double x1, double y1, Paint&& paint)
    {
        const int ix0 = clampIndex(x0, width_), ix1 = clampIndex(x1 + 1.0, width_);
        const int iy0 = clampIndex(y0, height_), iy1 = clampIndex(y1 + 1.0, height_);
        for (int y = iy0; y < iy1; ++y)
            for (int x = ix0; x < ix1; ++x) paint(x, y, x + 0.5, y + 0.5);
    }

    // The canvas averaged down to a smaller size, each new pixel over the whole area it covers.
    Canvas shrunk(int width, int height) const;
    // The box of that size whose top-left pixel is (x, y); it must lie within the canvas.
    Canvas cropped(int x, int y, int width, int height) const;

    // 8-bit RGB rows, top row first: the poster is opaque, and a fourth channel would only
    // cost bytes.
    std::vector<std::uint8_t> rgb() const;

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }
    static int clampIndex(double v, int size);

    int width_, height_;
    std::vector<Colour> pixels_;
};

}  // namespace paint
