// The poster's geometry: discs, shaded globes with their grid, tilted orbits, a five-point
// star and capsules (thick line segments). Each is a distance function painted with a
// one-pixel soft edge.
#pragma once

#include "canvas.hpp"

namespace paint {

struct Point {
    double x, y;
};

// Distance from p to the segment a-b.
double segmentDistance(Point p, Point a, Point b);

void disc(Canvas& canvas, Point centre, double radius, Colour colour);
void ring(Canvas& canvas, Point centre, double radius, double width, Colour colour);

// A lit globe: lit side `light`, terminator `body`, shadow `shade`, a rim of back light,
// and `gridLines` parallels and meridians drawn in `grid`.
struct Globe {
    Point centre;
    double radius;
    Colour light, body, shade, grid;
    int gridLines;
};
void globe(Canvas& canvas, const Globe& g);

// A tilted elliptical orbit. The half nearer the viewer (below the major axis) or the far
// half, so a globe can be painted between the two.
enum class Half { Far, Near };
struct Orbit {
    Point centre;
    double radiusX, radiusY, tilt, width;
    Colour colour;
};
void orbit(Canvas& canvas, const Orbit& o, Half half);
Point orbitPoint(const Orbit& o, double angle);

void star(Canvas& canvas, Point centre, double outerRadius, double innerRadius, Colour colour);

}  // namespace paint
