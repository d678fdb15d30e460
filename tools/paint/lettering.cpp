// The stroke font. Each glyph is a list of polylines over a grid four units wide and six
// high (y down); '|' separates strokes. A string is rasterised into a coverage mask that
// keeps the strongest stroke at each pixel, so crossing strokes do not darken.
#include "lettering.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <vector>

#include "shapes.hpp"

namespace paint {
namespace {

constexpr double kGridWidth = 4.0, kGridHeight = 6.0;
constexpr double kSpaceWidth = 3.0;  // grid units

const std::map<char, const char*>& glyphs()
{
    static const std::map<char, const char*> kGlyphs = {
        {'A', "0,6 0,2 2,0 4,2 4,6 | 0,3.6 4,3.6"},
        {'B', "0,3 3,3 4,4 4,5 3,6 0,6 0,0 3,0 4,1 4,2 3,3"},
        {'C', "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5"},
        {'D', "0,0 0,6 2.5,6 4,4.5 4,1.5 2.5,0 0,0"},
        {'E', "4,0 0,0 0,6 4,6 | 0,3 3,3"},
        {'F', "4,0 0,0 0,6 | 0,3 3,3"},
        {'G', "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,3.5 2.2,3.5"},
        {'H', "0,0 0,6 | 4,0 4,6 | 0,3 4,3"},
        {'I', "2,0 2,6 | 1,0 3,0 | 1,6 3,6"},
        {'J', "4,0 4,5 3,6 1,6 0,5"},
        {'K', "0,0 0,6 | 4,0 0,4 | 1.4,2.95 4,6"},
        {'L', "0,0 0,6 4,6"},
        {'M', "0,6 0,0 2,3.5 4,0 4,6"},
        {'N', "0,6 0,0 4,6 4,0"},
        {'O', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0"},
        {'P', "0,6 0,0 3,0 4,1 4,2 3,3 0,3"},
        {'Q', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0 | 2.6,4.6 4,6"},
        {'R', "0,6 0,0 3,0 4,1 4,2 3,3 0,3 | 2,3 4,6"},
        {'S', "4,1 3,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5"},
        {'T', "0,0 4,0 | 2,0 2,6"},
        {'U', "0,0 0,5 1,6 3,6 4,5 4,0"},
        {'V', "0,0 2,6 4,0"},
        {'W', "0,0 1,6 2,2.5 3,6 4,0"},
        {'X', "0,0 4,6 | 4,0 0,6"},
        {'Y', "0,0 2,3 4,0 | 2,3 2,6"},
        {'Z', "0,0 4,0 0,6 4,6"},
        {'0', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0 | 3.5,1 0.5,5"},
        {'1', "1,1 2,0 2,6 | 1,6 3,6"},
        {'2', "0,1 1,0 3,0 4,1 4,2 0,6 4,6"},
        {'9', "4,2.5 3,3.5 1,3.5 0,2.5 0,1 1,0 3,0 4,1 4,5 3,6 1,6 0,5"},
        {'-', "1,3 3,3"},
        {'.', "2,5.9 2,6"},
        {'!', "2,0 2,4 | 2,5.9 2,6"},
        {'*', "2,1.5 2,4.5 | 0.7,2.25 3.3,3.75 | 0.7,3.75 3.3,2.25"},
    };
    return kGlyphs;
}

using Stroke = std::vector<Point>;

std::vector<Stroke> parseGlyph(const char* text)
{
    std::vector<Stroke> strokes(1);
    const char* c = text;
    while (*c) {
        if (*c == ' ') { ++c; continue; }
        if (*c == '|') { strokes.emplace_back(); ++c; continue; }
        double x = 0.0, y = 0.0;
        int used = 0;
        if (std::sscanf(c, "%lf,%lf%n", &x, &y, &used) != 2) throw std::invalid_argument(std::string("bad glyph: ") + text);
        strokes.back().push_back({x, y});
        c += used;
    }
    return strokes;
}

double advance(char c, const TextStyle& style)
{
    const double unit = style.capHeight / kGridHeight;
    return (c == ' ' ? kSpaceWidth : kGridWidth) * unit + style.stroke + style.tracking;
}

}  // namespace

double textWidth(const std::string& text, const TextStyle& style)
{
    double width = 0.0;
    for (char c : text) width += advance(c, style);
    return text.empty() ? 0.0 : width - style.tracking;
}

void drawText(Canvas& canvas, const std::string& text, double left, double top, const TextStyle& style, double angle)
{
    const double unit = style.capHeight / kGridHeight;
    const double half = 0.5 * style.stroke;
    const double pad = half + 2.0;
    const double cosA = std::cos(angle), sinA = std::sin(angle);
    // From the text's own frame (x along the line, y down) to the canvas.
    auto place = [&](double x, double y) { return Point{left + x * cosA - y * sinA, top + x * sinA + y * cosA}; };

    // The mask covers the turned text box.
    const double width = textWidth(text, style);
    double x0 = left, y0 = top, x1 = left, y1 = top;
    for (const Point corner : {place(width, 0.0), place(0.0, style.capHeight), place(width, style.capHeight)}) {
        x0 = std::min(x0, corner.x), y0 = std::min(y0, corner.y);
        x1 = std::max(x1, corner.x), y1 = std::max(y1, corner.y);
    }
    const int maskLeft = static_cast<int>(std::floor(x0 - pad)), maskTop = static_cast<int>(std::floor(y0 - pad));
    const int maskWidth = static_cast<int>(x1 - x0 + 2.0 * pad) + 3;
    const int maskHeight = static_cast<int>(y1 - y0 + 2.0 * pad) + 3;
    std::vector<double> mask(static_cast<std::size_t>(maskWidth) * static_cast<std::size_t>(maskHeight), 0.0);
    auto maskAt = [&](int x, int y) -> double& {
        return mask[static_cast<std::size_t>(y - maskTop) * static_cast<std::size_t>(maskWidth) + static_cast<std::size_t>(x - maskLeft)];
    };
    const double lastX = maskLeft + maskWidth - 1.0, lastY = maskTop + maskHeight - 1.0;

    // Stroke centres run from half a stroke below the top to half a stroke above the base.
    const double yScale = unit * (1.0 - style.stroke / style.capHeight);
    double penX = half;
    for (char c : text) {
        if (c != ' ') {
            const auto found = glyphs().find(c);
            if (found == glyphs().end()) throw std::invalid_argument(std::string("no glyph for '") + c + "'");
            for (const Stroke& stroke : parseGlyph(found->second)) {
                for (std::size_t i = 0; i + 1 < stroke.size(); ++i) {
                    const Point a = place(penX + stroke[i].x * unit, half + stroke[i].y * yScale);
                    const Point b = place(penX + stroke[i + 1].x * unit, half + stroke[i + 1].y * yScale);
                    canvas.forEachPixel(std::max(std::min(a.x, b.x) - pad, static_cast<double>(maskLeft)),
                                        std::max(std::min(a.y, b.y) - pad, static_cast<double>(maskTop)),
                                        std::min(std::max(a.x, b.x) + pad, lastX),
                                        std::min(std::max(a.y, b.y) + pad, lastY), [&](int x, int y, double px, double py) {
                        if (x > lastX || y > lastY) return;
                        double& m = maskAt(x, y);
                        m = std::max(m, coverage(segmentDistance({px, py}, a, b) - half));
                    });
                }
            }
        }
        penX += advance(c, style);
    }
    canvas.forEachPixel(maskLeft, maskTop, lastX, lastY, [&](int x, int y, double, double) {
        if (x > lastX || y > lastY || x < maskLeft || y < maskTop) return;
        const double m = maskAt(x, y);
        if (m > 0.0) canvas.blend(x, y, style.colour, m);
    });
}

}  // namespace paint
