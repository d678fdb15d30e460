// Lettering from the painter's own stroke font: capitals, digits and a few marks drawn as
// round-capped strokes on a 4 by 6 grid, so the poster needs no font files.
#pragma once

#include <string>

#include "canvas.hpp"

namespace paint {

struct TextStyle {
    double capHeight;  // pixels
    double stroke;     // line width, pixels
    double tracking;   // extra space between letters, pixels
    Colour colour;
};

double textWidth(const std::string& text, const TextStyle& style);

// Draws `text` with its top-left corner at (left, top), turned by `angle` radians
// (clockwise on screen) about that corner. Characters the font lacks throw
// std::invalid_argument: a poster with a missing letter is a bug.
void drawText(Canvas& canvas, const std::string& text, double left, double top, const TextStyle& style,
              double angle = 0.0);

}  // namespace paint
