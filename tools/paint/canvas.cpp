// The canvas's pixel store, blending and conversion to 8-bit RGB.
#include "canvas.hpp"

#include <algorithm>
#include <cmath>

namespace paint {

double clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }

double smoothstep(double edge0, double edge1, double x)
{
    const double t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

double coverage(double signedDistance) { return clamp01(0.5 - signedDistance); }

Colour mix(Colour a, Colour b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour scale(Colour c, double k) { return {c.r * k, c.g * k, c.b * k}; }

Canvas::Canvas(int width, int height)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), Colour{0.0, 0.0, 0.0})
{
}

void Canvas::blend(int x, int y, Colour c, double opacity)
{
    Colour& p = pixels_[index(x, y)];
    p = mix(p, c, opacity);
}

int Canvas::clampIndex(double v, int size)
{
    const double f = std::floor(v);
    return f < 0.0 ? 0 : (f > size ? size : static_cast<int>(f));
}

Canvas Canvas::shrunk(int width, int height) const
{
    Canvas out(width, height);
    const double sx = static_cast<double>(width_) / width;
    const double sy = static_cast<double>(height_) / height;
    // How much of source cell i lies in the span [from, to).
    const auto overlap = [](int i, double from, double to) {
        return std::min(i + 1.0, to) - std::max(static_cast<double>(i), from);
    };
    for (int y = 0; y < height; ++y) {
        const int rowEnd = std::min(height_, static_cast<int>(std::ceil((y + 1) * sy)));
        for (int x = 0; x < width; ++x) {
            const int columnEnd = std::min(width_, static_cast<int>(std::ceil((x + 1) * sx)));
            Colour sum{0.0, 0.0, 0.0};
            double total = 0.0;
            for (int j = static_cast<int>(y * sy); j < rowEnd; ++j) {
                const double wy = overlap(j, y * sy, (y + 1) * sy);
                for (int i = static_cast<int>(x * sx); i < columnEnd; ++i) {
                    const double w = wy * overlap(i, x * sx, (x + 1) * sx);
                    const Colour c = at(i, j);
                    sum = {sum.r + c.r * w, sum.g + c.g * w, sum.b + c.b * w};
                    total += w;
                }
            }
            out.set(x, y, scale(sum, 1.0 / total));
        }
    }
    return out;
}

Canvas Canvas::cropped(int x, int y, int width, int height) const
{
    Canvas out(width, height);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            out.set(i, j, at(x + i, y + j));
    return out;
}

std::vector<std::uint8_t> Canvas::rgb() const
{
    constexpr double kMax = 255.0;
    std::vector<std::uint8_t> out;
    out.reserve(pixels_.size() * 3);
    for (const Colour& c : pixels_) {
        out.push_back(static_cast<std::uint8_t>(std::lround(clamp01(c.r) * kMax)));
        out.push_back(static_cast<std::uint8_t>(std::lround(clamp01(c.g) * kMax)));
        out.push_back(static_cast<std::uint8_t>(std::lround(clamp01(c.b) * kMax)));
    }
    return out;
}

}  // namespace paint
