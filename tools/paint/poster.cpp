// The poster, back to front: paper, sunburst, a red sun printed in halftone, the far half of
// an orbit, the great globe and its moons, the near half, the lettering, then ink grain and
// a vignette. Positions are pixels of the 1920x1080 canvas, laid out by eye.
#include "poster.hpp"

#include <cmath>
#include <cstdint>

#include "lettering.hpp"

namespace paint {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The palette of a cheaply printed state poster.
constexpr Colour kPaper{0.93, 0.88, 0.77};
constexpr Colour kPaperShade{0.86, 0.78, 0.63};
constexpr Colour kRed{0.74, 0.12, 0.11};
constexpr Colour kDeepRed{0.45, 0.05, 0.06};
constexpr Colour kInk{0.11, 0.09, 0.09};
constexpr Colour kCream{0.98, 0.94, 0.84};
constexpr Colour kGold{0.90, 0.68, 0.25};
constexpr Colour kSteel{0.55, 0.58, 0.62};

constexpr Point kSun{1425.0, 470.0};
constexpr double kSunRadius = 400.0;
constexpr Point kBandFrom{-50.0, 905.0}, kBandTo{1250.0, 690.0};

// Integer hash of a pixel, as a value in [-1, 1]: grain that is the same on every run.
double hashNoise(std::uint32_t x, std::uint32_t y, std::uint32_t salt)
{
    std::uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ salt * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return static_cast<double>(h & 0xFFFFu) / 32767.5 - 1.0;
}

// Smoothly interpolated hash on a coarse lattice: the fibres and blotches of the paper.
double valueNoise(double x, double y, double cell, std::uint32_t salt)
{
    const double gx = x / cell, gy = y / cell;
    const double fx = std::floor(gx), fy = std::floor(gy);
    const auto ix = static_cast<std::uint32_t>(static_cast<std::int64_t>(fx) + 4096);
    const auto iy = static_cast<std::uint32_t>(static_cast<std::int64_t>(fy) + 4096);
    const double tx = smoothstep(0.0, 1.0, gx - fx), ty = smoothstep(0.0, 1.0, gy - fy);
    const double top = hashNoise(ix, iy, salt) + (hashNoise(ix + 1, iy, salt) - hashNoise(ix, iy, salt)) * tx;
    const double bottom = hashNoise(ix, iy + 1, salt) + (hashNoise(ix + 1, iy + 1, salt) - hashNoise(ix, iy + 1, salt)) * tx;
    return top + (bottom - top) * ty;
}

void paper(Canvas& canvas)
{
    const double h = canvas.height();
    canvas.forEachPixel(0, 0, canvas.width(), canvas.height(), [&](int x, int y, double px, double py) {
        const double blotch = valueNoise(px, py, 90.0, 1) * 0.5 + valueNoise(px, py, 23.0, 2) * 0.25;
        canvas.set(x, y, mix(kPaper, kPaperShade, clamp01(0.25 + 0.5 * py / h + 0.35 * blotch)));
    });
}

// Alternating wedges from behind the globe, the oldest trick of the propaganda poster.
void sunburst(Canvas& canvas)
{
    constexpr int kRays = 36;
    const double wedge = 2.0 * kPi / kRays;
    canvas.forEachPixel(0, 0, canvas.width(), canvas.height(), [&](int x, int y, double px, double py) {
        const double dx = px - kSun.x, dy = py - kSun.y;
        const double r = std::sqrt(dx * dx + dy * dy);
        const double a = std::atan2(dy, dx) + kPi;
        const double within = std::fmod(a, 2.0 * wedge);  // first wedge of each pair is dark
        const double edge = std::min(std::fabs(within), std::fabs(within - wedge));
        const double toEdge = std::min(edge, 2.0 * wedge - within) * r;
        const double inDark = within < wedge ? coverage(-toEdge) : coverage(toEdge);
        const double fade = smoothstep(1500.0, 200.0, r);
        canvas.blend(x, y, kPaperShade, 0.65 * inDark * fade);
        canvas.blend(x, y, kRed, 0.10 * inDark * fade);
    });
}

// The red sun, printed as a halftone: dots on a 45-degree screen that swell towards the
// lower right, where the sun is "in shadow".
void halftoneSun(Canvas& canvas)
{
    constexpr double kScreen = 11.0;  // dot pitch, pixels
    disc(canvas, kSun, kSunRadius, kRed);
    const double m = kSunRadius + 2.0;
    const double c45 = std::sqrt(0.5);
    canvas.forEachPixel(kSun.x - m, kSun.y - m, kSun.x + m, kSun.y + m, [&](int x, int y, double px, double py) {
        const double dx = px - kSun.x, dy = py - kSun.y;
        const double inside = coverage(std::sqrt(dx * dx + dy * dy) - kSunRadius);
        if (inside <= 0.0) return;
        const double u = (dx + dy) * c45 / kScreen, v = (dy - dx) * c45 / kScreen;
        const double cu = u - std::round(u), cv = v - std::round(v);
        const double toCentre = std::sqrt(cu * cu + cv * cv) * kScreen;
        const double shade = smoothstep(-0.2, 1.0, (dx + dy) / (2.0 * kSunRadius));
        const double dot = 0.5 * kScreen * 0.75 * shade;
        canvas.blend(x, y, kDeepRed, inside * coverage(toCentre - dot));
    });
    ring(canvas, kSun, kSunRadius + 28.0, 5.0, kRed);
    ring(canvas, kSun, kSunRadius + 48.0, 2.5, kRed);
}

// The diagonal red band of the constructivists, sweeping up to the right under the title.
void band(Canvas& canvas)
{
    constexpr double kHalfWidth = 46.0;
    canvas.forEachPixel(0, 600, 1300, 1000, [&](int x, int y, double px, double py) {
        canvas.blend(x, y, kRed, coverage(segmentDistance({px, py}, kBandFrom, kBandTo) - kHalfWidth));
    });
}

void strip(Canvas& canvas, double top)
{
    canvas.forEachPixel(0, top - 1.0, canvas.width(), canvas.height(), [&](int x, int y, double, double py) {
        canvas.blend(x, y, kInk, coverage(top - py));
    });
}

void centred(Canvas& canvas, const std::string& text, double centreX, double top, const TextStyle& style)
{
    drawText(canvas, text, centreX - 0.5 * textWidth(text, style), top, style);
}

void lettering(Canvas& canvas)
{
    constexpr double kLeft = 110.0;
    const TextStyle official{52.0, 11.0, 14.0, kRed};
    const TextStyle title{140.0, 24.0, 12.0, kInk};
    const TextStyle slogan{40.0, 7.5, 9.0, kCream};
    const TextStyle motto{30.0, 6.0, 7.0, kInk};
    const TextStyle footer{24.0, 4.5, 7.0, kCream};

    star(canvas, {kLeft + 48.0, 188.0}, 52.0, 21.0, kRed);
    drawText(canvas, "OFFICIAL", kLeft + 125.0, 162.0, official);
    // The title's red plate printed a little out of register, peeking out under the black.
    constexpr double kMisregister = 7.0;
    drawText(canvas, "MOLVANIA", kLeft - 4.0 + kMisregister, 250.0 + kMisregister, TextStyle{title.capHeight, title.stroke, title.tracking, kRed});
    drawText(canvas, "MOLVANIA", kLeft - 4.0, 250.0, title);
    drawText(canvas, "DEMOSCENE", kLeft, 440.0, TextStyle{64.0, 12.0, 22.0, kDeepRed});

    const double sloganWidth = textWidth("GLORIOUS SPHERE PROGRAMME", slogan);
    canvas.forEachPixel(kLeft - 20.0, 560.0, kLeft + sloganWidth + 20.0, 632.0, [&](int x, int y, double, double) {
        canvas.blend(x, y, kInk, 1.0);
    });
    drawText(canvas, "GLORIOUS SPHERE PROGRAMME", kLeft, 576.0, slogan);
    drawText(canvas, "NINE SECONDS OF PROGRESS!", kLeft, 668.0, motto);

    // Along the band, its letters centred on the band's axis.
    const double slope = std::atan2(kBandTo.y - kBandFrom.y, kBandTo.x - kBandFrom.x);
    const TextStyle onBand{30.0, 6.0, 9.0, kCream};
    const double along = 190.0;
    const Point start{kBandFrom.x + along * std::cos(slope), kBandFrom.y + along * std::sin(slope)};
    drawText(canvas, "ALL SPHERES ARE EQUAL", start.x + 0.5 * onBand.capHeight * std::sin(slope),
             start.y - 0.5 * onBand.capHeight * std::cos(slope), onBand, slope);

    strip(canvas, canvas.height() - 76.0);
    drawText(canvas, "MINISTRY OF DEMONSTRATIONS", 60.0, canvas.height() - 50.0, footer);
    centred(canvas, "*  *  *", 0.5 * canvas.width(), canvas.height() - 50.0, TextStyle{24.0, 4.5, 7.0, kGold});
    const std::string issue = "NO. 2 - 1992";
    drawText(canvas, issue, canvas.width() - 60.0 - textWidth(issue, footer), canvas.height() - 50.0, footer);
}

void globes(Canvas& canvas)
{
    const Orbit path{kGlobeCentre, 440.0, 100.0, -0.28, 5.0, kInk};
    const Globe moonFar{orbitPoint(path, -2.2), 30.0, kCream, kSteel, kInk, kInk, 0};
    const Globe moonNear{orbitPoint(path, 0.55), 46.0, kCream, kGold, kDeepRed, kInk, 6};

    orbit(canvas, path, Half::Far);
    globe(canvas, moonFar);
    // Soft contact shadow, so the globe sits on the sun rather than being cut out of it.
    canvas.forEachPixel(kGlobeCentre.x - 320, kGlobeCentre.y - 320, kGlobeCentre.x + 340, kGlobeCentre.y + 340,
                        [&](int x, int y, double px, double py) {
        const double dx = px - kGlobeCentre.x - 18.0, dy = py - kGlobeCentre.y - 22.0;
        const double d = std::sqrt(dx * dx + dy * dy) - kGlobeRadius;
        canvas.blend(x, y, kInk, 0.35 * smoothstep(40.0, 0.0, d));
    });
    globe(canvas, {kGlobeCentre, kGlobeRadius, kCream, Colour{0.68, 0.66, 0.65}, Colour{0.14, 0.08, 0.10}, kRed, 18});
    orbit(canvas, path, Half::Near);
    globe(canvas, moonNear);
    // Three small spheres climbing the upper right: the programme's next launches.
    globe(canvas, {{1780.0, 150.0}, 40.0, kCream, kSteel, kInk, kInk, 0});
    globe(canvas, {{1700.0, 95.0}, 24.0, kCream, kSteel, kInk, kInk, 0});
    globe(canvas, {{1650.0, 55.0}, 14.0, kCream, kSteel, kInk, kInk, 0});
}

// Ink grain, a faint print texture and darkened corners.
void finish(Canvas& canvas)
{
    constexpr double kGrain = 0.018;
    const double cx = 0.5 * canvas.width(), cy = 0.5 * canvas.height();
    canvas.forEachPixel(0, 0, canvas.width(), canvas.height(), [&](int x, int y, double px, double py) {
        const double grain = kGrain * hashNoise(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 7);
        const double fibre = 0.02 * valueNoise(px, py * 0.25, 3.0, 9);
        const double dx = (px - cx) / cx, dy = (py - cy) / cy;
        const double vignette = 1.0 - 0.22 * smoothstep(0.4, 1.6, dx * dx + dy * dy);
        const Colour c = canvas.at(x, y);
        canvas.set(x, y, scale(Colour{c.r + grain, c.g + grain, c.b + grain}, vignette * (1.0 + fibre)));
    });
}

Canvas paintLayers(bool lettered)
{
    Canvas canvas(kPosterWidth, kPosterHeight);
    paper(canvas);
    sunburst(canvas);
    halftoneSun(canvas);
    band(canvas);
    globes(canvas);
    if (lettered)
        lettering(canvas);
    finish(canvas);
    return canvas;
}

}  // namespace

Canvas paintPoster()
{
    return paintLayers(true);
}

Canvas paintUnlettered()
{
    return paintLayers(false);
}

}  // namespace paint
