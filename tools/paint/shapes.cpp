// Distance functions and shading for the poster's shapes.
#include "shapes.hpp"

#include <algorithm>
#include <cmath>

namespace paint {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kEdge = 1.5;  // box margin beyond a shape, in pixels, for its soft edge

double length(double x, double y) { return std::sqrt(x * x + y * y); }

}  // namespace

double segmentDistance(Point p, Point a, Point b)
{
    const double abx = b.x - a.x, aby = b.y - a.y;
    const double apx = p.x - a.x, apy = p.y - a.y;
    const double len2 = abx * abx + aby * aby;
    const double t = len2 > 0.0 ? clamp01((apx * abx + apy * aby) / len2) : 0.0;
    return length(apx - t * abx, apy - t * aby);
}

void disc(Canvas& canvas, Point c, double radius, Colour colour)
{
    const double m = radius + kEdge;
    canvas.forEachPixel(c.x - m, c.y - m, c.x + m, c.y + m, [&](int x, int y, double px, double py) {
        const double cover = coverage(length(px - c.x, py - c.y) - radius);
        if (cover > 0.0) canvas.blend(x, y, colour, cover);
    });
}

void ring(Canvas& canvas, Point c, double radius, double width, Colour colour)
{
    const double m = radius + width + kEdge;
    canvas.forEachPixel(c.x - m, c.y - m, c.x + m, c.y + m, [&](int x, int y, double px, double py) {
        const double cover = coverage(std::fabs(length(px - c.x, py - c.y) - radius) - 0.5 * width);
        if (cover > 0.0) canvas.blend(x, y, colour, cover);
    });
}

// Latitude and longitude, in turns, of the globe's surface under a point given in radii
// from its centre; the globe is tilted towards the viewer and spun a little.
struct SurfacePoint {
    double lat, lon;
};
SurfacePoint surfaceAt(double dx, double dy)
{
    constexpr double kTilt = 0.35, kSpin = 0.5;
    const double nz = std::sqrt(std::max(0.0, 1.0 - dx * dx - dy * dy));
    const double y1 = dy * std::cos(kTilt) - nz * std::sin(kTilt);
    const double z1 = dy * std::sin(kTilt) + nz * std::cos(kTilt);
    return {std::asin(std::max(-1.0, std::min(1.0, y1))) / kPi, (std::atan2(dx, z1) + kSpin) / (2.0 * kPi)};
}

// Distance in pixels from a coordinate value to the nearest of `lines` evenly spaced grid
// lines, given how far the coordinate moves over one pixel.
double gridDistance(double value, double perPixel, int lines)
{
    const double v = value * lines;
    const double wrap = std::fabs(v - std::round(v));
    return wrap / std::max(1e-9, perPixel * lines);
}

double turnsApart(double a, double b)
{
    const double d = a - b;
    return std::fabs(d - std::round(d));
}

void globe(Canvas& canvas, const Globe& g)
{
    // Light from the upper left and in front.
    const double lx = -0.55, ly = -0.6, lz = 0.58;
    constexpr double kGridWidth = 0.9, kGridOpacity = 0.55;
    const double m = g.radius + kEdge;
    const double pixel = 1.0 / g.radius;
    canvas.forEachPixel(g.centre.x - m, g.centre.y - m, g.centre.x + m, g.centre.y + m,
                        [&](int x, int y, double px, double py) {
        const double dx = (px - g.centre.x) / g.radius, dy = (py - g.centre.y) / g.radius;
        const double r = length(dx, dy);
        const double cover = coverage((r - 1.0) * g.radius);
        if (cover <= 0.0) return;
        const double rc = std::min(r, 1.0);
        const double nx = r > 0.0 ? dx * rc / r : 0.0, ny = r > 0.0 ? dy * rc / r : 0.0;
        const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
        const double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
        Colour c = diffuse > 0.5 ? mix(g.body, g.light, smoothstep(0.5, 1.0, diffuse))
                                 : mix(g.shade, g.body, smoothstep(0.0, 0.5, diffuse));
        // A glint and a rim of back light: the polished look of a future that never came.
        c = mix(c, Colour{1.0, 0.97, 0.9}, 0.8 * std::pow(diffuse, 60.0));
        c = mix(c, g.light, 0.35 * std::pow(1.0 - nz, 3.0) * smoothstep(-0.2, 0.6, nx + 0.3 * ny));
        if (g.gridLines > 0 && r < 1.0 - pixel) {
            const SurfacePoint here = surfaceAt(nx, ny);
            const SurfacePoint right = surfaceAt(std::min(nx + pixel, 1.0), ny);
            const SurfacePoint below = surfaceAt(nx, std::min(ny + pixel, 1.0));
            const double latStep = std::max(std::fabs(right.lat - here.lat), std::fabs(below.lat - here.lat));
            const double lonStep = std::max(turnsApart(right.lon, here.lon), turnsApart(below.lon, here.lon));
            const double d = std::min(gridDistance(here.lat, latStep, g.gridLines / 2),
                                      gridDistance(here.lon, lonStep, g.gridLines));
            c = mix(c, g.grid, kGridOpacity * coverage(d - kGridWidth) * smoothstep(0.0, 0.2, nz));
        }
        canvas.blend(x, y, c, cover);
    });
}

Point orbitPoint(const Orbit& o, double angle)
{
    const double ex = o.radiusX * std::cos(angle), ey = o.radiusY * std::sin(angle);
    return {o.centre.x + ex * std::cos(o.tilt) - ey * std::sin(o.tilt),
            o.centre.y + ex * std::sin(o.tilt) + ey * std::cos(o.tilt)};
}

void orbit(Canvas& canvas, const Orbit& o, Half half)
{
    const double m = o.radiusX + o.width + kEdge;
    canvas.forEachPixel(o.centre.x - m, o.centre.y - m, o.centre.x + m, o.centre.y + m,
                        [&](int x, int y, double px, double py) {
        // Into the ellipse's own frame; distance from the implicit function over its gradient.
        const double qx = px - o.centre.x, qy = py - o.centre.y;
        const double ex = qx * std::cos(o.tilt) + qy * std::sin(o.tilt);
        const double ey = -qx * std::sin(o.tilt) + qy * std::cos(o.tilt);
        if ((ey > 0.0) != (half == Half::Near)) return;
        const double ax = ex / (o.radiusX * o.radiusX), ay = ey / (o.radiusY * o.radiusY);
        const double f = ex * ax + ey * ay - 1.0;
        const double grad = 2.0 * length(ax, ay);
        if (grad <= 0.0) return;
        const double cover = coverage(std::fabs(f / grad) - 0.5 * o.width);
        if (cover > 0.0) canvas.blend(x, y, o.colour, cover);
    });
}

void star(Canvas& canvas, Point c, double outer, double inner, Colour colour)
{
    constexpr int kPoints = 5;
    const double sector = 2.0 * kPi / kPoints;
    // One edge of the star, from a tip (pointing up the y axis) to the inner corner beside it.
    const Point tip{0.0, outer};
    const Point notch{inner * std::sin(0.5 * sector), inner * std::cos(0.5 * sector)};
    const double m = outer + kEdge;
    canvas.forEachPixel(c.x - m, c.y - m, c.x + m, c.y + m, [&](int x, int y, double px, double py) {
        const double qx = px - c.x, qy = c.y - py;  // y up
        const double r = length(qx, qy);
        // Fold the angle (from straight up) into the half-sector beside a tip.
        double a = std::fmod(std::atan2(qx, qy) + 2.0 * kPi, sector);
        a = std::fabs(a - 0.5 * sector);
        a = 0.5 * sector - a;
        const Point p{r * std::sin(a), r * std::cos(a)};
        const double d = segmentDistance(p, tip, notch);
        // Inside when on the centre's side of the edge line.
        const double side = (notch.x - tip.x) * (p.y - tip.y) - (notch.y - tip.y) * (p.x - tip.x);
        const double cover = coverage(side < 0.0 ? -d : d);
        if (cover > 0.0) canvas.blend(x, y, colour, cover);
    });
}

}  // namespace paint
