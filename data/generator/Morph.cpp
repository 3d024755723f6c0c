// Morphing shapes: a closed outline interpolated between a circle, a star, a square and a triangle.
#include "Pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace datagen {

namespace {

constexpr int kSamples = 360;

struct Vec {
    double x, y;
};

// Distance from the origin to the polygon along the ray at angle a; the polygon is star-shaped about
// the origin, so exactly one edge meets the ray.
double rayToPolygon(const std::vector<Vec>& poly, double a) {
    const Vec d{std::cos(a), std::sin(a)};
    double best = 0;
    for (size_t i = 0; i < poly.size(); ++i) {
        const Vec p = poly[i];
        const Vec q = poly[(i + 1) % poly.size()];
        const Vec e{q.x - p.x, q.y - p.y};
        const double den = d.x * e.y - d.y * e.x;
        if (std::fabs(den) < 1e-12) continue;
        const double t = (p.x * e.y - p.y * e.x) / den;
        const double u = (p.x * d.y - p.y * d.x) / den;
        if (t > 0 && u >= -1e-9 && u <= 1 + 1e-9) best = std::max(best, t);
    }
    return best;
}

std::vector<Vec> regularPolygon(int n, double r, double rotation) {
    std::vector<Vec> v;
    for (int i = 0; i < n; ++i) {
        const double a = rotation + 2 * M_PI * i / n;
        v.push_back({r * std::cos(a), r * std::sin(a)});
    }
    return v;
}

std::vector<Vec> star(int points, double outer, double inner, double rotation) {
    std::vector<Vec> v;
    for (int i = 0; i < 2 * points; ++i) {
        const double r = (i % 2 == 0) ? outer : inner;
        const double a = rotation + M_PI * i / points;
        v.push_back({r * std::cos(a), r * std::sin(a)});
    }
    return v;
}

// Radius profiles of the four key shapes, sampled once at kSamples angles.
struct Profiles {
    std::array<std::array<double, kSamples>, 4> r{};
    Profiles() {
        const auto s = star(5, 1.0, 0.5, -M_PI / 2);
        const auto sq = regularPolygon(4, 1.0, M_PI / 4);
        const auto tri = regularPolygon(3, 1.08, -M_PI / 2);
        for (int i = 0; i < kSamples; ++i) {
            const double a = 2 * M_PI * i / kSamples;
            r[0][i] = 0.92;
            r[1][i] = rayToPolygon(s, a);
            r[2][i] = rayToPolygon(sq, a) * 0.98;
            r[3][i] = rayToPolygon(tri, a);
        }
    }
};

const Profiles& profiles() {
    static const Profiles p;
    return p;
}

// Hues (degrees) of the four key shapes: coral, gold, teal and violet. Colours are blended by hue, not by
// channel, so the shapes in between stay as vivid as the key shapes instead of turning muddy.
constexpr std::array<double, 4> kHues = {2, 42, 174, 268};

double smooth(double t) {
    return t * t * (3 - 2 * t);
}

Rgb fromHsl(double hue, double s, double l) {
    const auto channel = [&](double n) {
        const double k = std::fmod(n + hue / 30.0, 12.0);
        const double a = s * std::min(l, 1 - l);
        return l - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0}));
    };
    return Rgb{channel(0), channel(8), channel(4)};
}

Rgb shapeColor(int from, int to, double k) {
    double a = kHues[static_cast<size_t>(from)];
    double b = kHues[static_cast<size_t>(to)];
    if (b < a) b += 360;
    return fromHsl(std::fmod(a + (b - a) * k, 360.0), 0.78, 0.62);
}

} // namespace

void paintMorphShape(cairo_t* cr, double cx, double cy, double radius, double t, bool shadow) {
    t -= std::floor(t);
    const double pos = t * 4;
    const int from = static_cast<int>(pos) % 4;
    const int to = (from + 1) % 4;
    const double k = smooth(pos - std::floor(pos));
    const double spin = t * M_PI / 2;
    const Rgb color = shapeColor(from, to, k);

    const auto outline = [&](cairo_t* c) {
        cairo_new_path(c);
        for (int i = 0; i < kSamples; ++i) {
            const double r = radius * (profiles().r[from][i] * (1 - k) + profiles().r[to][i] * k);
            const double a = 2 * M_PI * i / kSamples + spin;
            const double x = cx + r * std::cos(a);
            const double y = cy + r * std::sin(a);
            if (i == 0)
                cairo_move_to(c, x, y);
            else
                cairo_line_to(c, x, y);
        }
        cairo_close_path(c);
    };

    if (shadow)
        softShadow(cr, outline, radius * 0.06, radius * 0.12, static_cast<int>(radius * 0.16), palette::ink,
                   0.55);

    // Body: a radial gradient lit from the top left.
    cairo_pattern_t* body = cairo_pattern_create_radial(cx - radius * 0.35, cy - radius * 0.4, radius * 0.1,
                                                        cx, cy, radius * 1.15);
    addStop(body, 0, lighten(color, 0.45));
    addStop(body, 0.55, color);
    addStop(body, 1, darken(color, 0.35));
    outline(cr);
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    setColor(cr, darken(color, 0.5), 0.9);
    cairo_set_line_width(cr, std::max(1.0, radius * 0.045));
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);

    // Gloss: a soft white ellipse clipped to the shape's upper part.
    cairo_save(cr);
    outline(cr);
    cairo_clip(cr);
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, cy - radius, 0, cy);
    addStop(gloss, 0, Rgb{1, 1, 1}, 0.55);
    addStop(gloss, 1, Rgb{1, 1, 1}, 0.0);
    cairo_save(cr);
    cairo_translate(cr, cx - radius * 0.1, cy - radius * 0.45);
    cairo_scale(cr, radius * 0.75, radius * 0.45);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_set_source(cr, gloss);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);
    cairo_restore(cr);
}

} // namespace datagen
