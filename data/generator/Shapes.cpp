// Outlines of the shape kinds and of the variants' holes, and the wildcard's outline.
#include "Shapes.h"

#include "Layout.h"

#include <cmath>
#include <vector>

namespace datagen {

namespace {

struct Pt {
    double x, y;
};

double deg(double d) {
    return d * M_PI / 180.0;
}

// A closed polygon whose corners are rounded off by r (in the polygon's units).
void roundedPolygon(cairo_t* cr, const std::vector<Pt>& pts, double r, double cx, double cy, double u) {
    const size_t n = pts.size();
    const auto at = [&](size_t i) { return pts[(i + n) % n]; };
    for (size_t i = 0; i < n; ++i) {
        const Pt p = at(i + n - 1), v = at(i), q = at(i + 1);
        const double lp = std::hypot(p.x - v.x, p.y - v.y), lq = std::hypot(q.x - v.x, q.y - v.y);
        const double tp = std::min(0.45, r / lp), tq = std::min(0.45, r / lq);
        const Pt a{v.x + (p.x - v.x) * tp, v.y + (p.y - v.y) * tp};
        const Pt b{v.x + (q.x - v.x) * tq, v.y + (q.y - v.y) * tq};
        if (i == 0)
            cairo_move_to(cr, cx + a.x * u, cy + a.y * u);
        else
            cairo_line_to(cr, cx + a.x * u, cy + a.y * u);
        cairo_curve_to(cr, cx + (a.x + (v.x - a.x) * 0.6) * u, cy + (a.y + (v.y - a.y) * 0.6) * u,
                       cx + (b.x + (v.x - b.x) * 0.6) * u, cy + (b.y + (v.y - b.y) * 0.6) * u, cx + b.x * u,
                       cy + b.y * u);
    }
    cairo_close_path(cr);
}

std::vector<Pt> starPoints(int points, double outer, double inner, double rotation) {
    std::vector<Pt> pts;
    for (int i = 0; i < 2 * points; ++i) {
        const double r = i % 2 == 0 ? outer : inner;
        const double a = rotation + i * M_PI / points;
        pts.push_back({r * std::cos(a), r * std::sin(a)});
    }
    return pts;
}

// Where a kind's variant holes sit, how large they are and which way they lie.
struct MarkPlace {
    double x, y, scale, angle;
};

MarkPlace markPlace(int kind) {
    static const MarkPlace places[layout::kKinds] = {
        {0, 0, 1.0, 0},         // disc
        {0, 0, 1.0, 0},         // square
        {0, 0.26, 0.9, 0},      // triangle
        {0, 0, 0.95, 0},        // diamond
        {0, 0.05, 0.88, 0},     // star
        {0, -0.08, 1.0, 0},     // heart
        {0, 0, 0.9, 0},         // cross
        {-0.6, 0.04, 0.78, 90}, // crescent
        {0, 0.30, 1.0, 0},      // drop
        {0.2, 0, 0.8, 0},       // arrow
        {0, 0.06, 0.95, 0},     // clover
        {0.0, -0.02, 0.8, 0},   // bolt
        {0, 0.45, 0.98, 0},     // crown
        {0, 0, 0.9, 0},         // bow
    };
    return places[kind];
}

} // namespace

int shapeFrame(int kind, int variant) {
    return kind * layout::kVariants + variant;
}
int wildFrame(int step) {
    return layout::kKinds * layout::kVariants + step;
}

Rgb kindColour(int kind) {
    static const uint32_t colours[layout::kKinds] = {
        0xe8364f, // ruby
        0x3a6ef2, // sapphire
        0x20b36a, // emerald
        0x9a52e6, // amethyst
        0xffcf2e, // citrine
        0xff6fae, // rose
        0xff8a1f, // orange
        0x62c6f5, // sky
        0x18c6b3, // turquoise
        0xa3d838, // lime
        0xff9b85, // salmon
        0xcfd3e2, // pearl
        0xb02a62, // garnet
        0xd43fd4, // magenta
    };
    return hex(colours[kind]);
}

const char* kindName(int kind) {
    static const char* names[layout::kKinds] = {"disc",   "square", "triangle", "diamond", "star",
                                                "heart",  "cross",  "crescent", "drop",    "arrow",
                                                "clover", "bolt",   "crown",    "bow"};
    return names[kind];
}

const char* variantName(int variant) {
    static const char* names[layout::kVariants] = {"plain", "ring", "bar", "twin"};
    return names[variant];
}

void kindPath(cairo_t* cr, int kind, double cx, double cy, double u) {
    cairo_new_sub_path(cr);
    switch (kind) {
    case 0: // disc
        cairo_arc(cr, cx, cy, 0.78 * u, 0, 2 * M_PI);
        cairo_close_path(cr);
        break;
    case 1: // square
        roundedRect(cr, cx - 0.80 * u, cy - 0.80 * u, 1.6 * u, 1.6 * u, 0.16 * u);
        break;
    case 2: // triangle
        roundedPolygon(cr, {{0, -0.92}, {0.97, 0.76}, {-0.97, 0.76}}, 0.16, cx, cy, u);
        break;
    case 3: // diamond
        roundedPolygon(cr, {{0, -0.96}, {0.80, 0}, {0, 0.96}, {-0.80, 0}}, 0.12, cx, cy, u);
        break;
    case 4: // five-pointed star
        roundedPolygon(cr, starPoints(5, 0.98, 0.45, deg(-90)), 0.07, cx, cy, u);
        break;
    case 5: { // heart: two lobes and the tangents down to the tip
        const double r = 0.5, lx = -0.45, ly = -0.3, tip = 0.92;
        const double dx = -lx, dy = tip - ly, d = std::hypot(dx, dy);
        const double outer = std::atan2(dy, dx) + std::acos(r / d);
        const double cusp = std::atan2(-std::sqrt(r * r - lx * lx), -lx);
        cairo_move_to(cr, cx, cy + tip * u);
        cairo_line_to(cr, cx + (lx + r * std::cos(outer)) * u, cy + (ly + r * std::sin(outer)) * u);
        cairo_arc(cr, cx + lx * u, cy + ly * u, r * u, outer, cusp + 2 * M_PI);
        cairo_arc(cr, cx - lx * u, cy + ly * u, r * u, M_PI - cusp, M_PI - outer + 2 * M_PI);
        cairo_close_path(cr);
        break;
    }
    case 6: { // cross
        const double a = 0.31, e = 0.92;
        roundedPolygon(cr,
                       {{-a, -e},
                        {a, -e},
                        {a, -a},
                        {e, -a},
                        {e, a},
                        {a, a},
                        {a, e},
                        {-a, e},
                        {-a, a},
                        {-e, a},
                        {-e, -a},
                        {-a, -a}},
                       0.08, cx, cy, u);
        break;
    }
    case 7: { // crescent: the outer circle less an offset circle
        const double ra = 0.92, rb = 0.74, bx = 0.42, by = -0.12;
        const double d = std::hypot(bx, by), a = (ra * ra - rb * rb + d * d) / (2 * d);
        const double h = std::sqrt(ra * ra - a * a);
        const double ux = bx / d, uy = by / d;
        const Pt p1{a * ux - h * uy, a * uy + h * ux}, p2{a * ux + h * uy, a * uy - h * ux};
        const double a1 = std::atan2(p1.y, p1.x), a2 = std::atan2(p2.y, p2.x);
        cairo_arc(cr, cx, cy, ra * u, a1, a2 < a1 ? a2 + 2 * M_PI : a2);
        cairo_arc_negative(cr, cx + bx * u, cy + by * u, rb * u, std::atan2(p2.y - by, p2.x - bx),
                           std::atan2(p1.y - by, p1.x - bx));
        cairo_close_path(cr);
        break;
    }
    case 8: { // drop, point upwards
        const double r = 0.64, oy = 0.30, tip = -0.96;
        const double off = std::acos(r / (oy - tip));
        cairo_move_to(cr, cx, cy + tip * u);
        cairo_arc(cr, cx, cy + oy * u, r * u, -M_PI / 2 + off, -M_PI / 2 - off + 2 * M_PI);
        cairo_close_path(cr);
        break;
    }
    case 9: // arrow to the right
        roundedPolygon(
            cr,
            {{-0.94, -0.31}, {0.0, -0.31}, {0.0, -0.80}, {0.96, 0}, {0.0, 0.80}, {0.0, 0.31}, {-0.94, 0.31}},
            0.08, cx, cy, u);
        break;
    case 10: { // clover of three round leaves
        const int leaves = 3;
        const double d = 0.47, r = 0.47;
        const double half = M_PI / leaves;
        const double notch = d * std::cos(half) + std::sqrt(r * r - d * d * std::sin(half) * std::sin(half));
        for (int i = 0; i < leaves; ++i) {
            const double a = -M_PI / 2 + i * 2 * half;
            const Pt c{d * std::cos(a), d * std::sin(a)};
            const Pt from{notch * std::cos(a - half), notch * std::sin(a - half)};
            const Pt to{notch * std::cos(a + half), notch * std::sin(a + half)};
            double a1 = std::atan2(from.y - c.y, from.x - c.x), a2 = std::atan2(to.y - c.y, to.x - c.x);
            if (a2 < a1) a2 += 2 * M_PI;
            cairo_arc(cr, cx + c.x * u, cy + (c.y + 0.06) * u, r * u, a1, a2);
        }
        cairo_close_path(cr);
        break;
    }
    case 11: // lightning bolt
        roundedPolygon(cr,
                       {{0.30, -0.97},
                        {0.86, -0.97},
                        {0.46, -0.31},
                        {0.76, -0.31},
                        {-0.34, 0.97},
                        {-0.04, 0.27},
                        {-0.76, 0.27}},
                       0.07, cx, cy, u);
        break;
    case 12: // crown, with a ball on each point
        roundedPolygon(cr,
                       {{-0.84, 0.82},
                        {0.84, 0.82},
                        {0.90, -0.56},
                        {0.44, -0.10},
                        {0, -0.80},
                        {-0.44, -0.10},
                        {-0.90, -0.56}},
                       0.08, cx, cy, u);
        for (const Pt b : {Pt{-0.86, -0.66}, Pt{0, -0.86}, Pt{0.86, -0.66}}) {
            cairo_new_sub_path(cr);
            // Drawn the way the outline turns, so the overlap adds to the shape under the winding rule.
            cairo_arc_negative(cr, cx + b.x * u, cy + b.y * u, 0.13 * u, 0, -2 * M_PI);
            cairo_close_path(cr);
        }
        break;
    default: // bow: two wings and a knot
        roundedPolygon(cr,
                       {{-0.95, -0.72},
                        {-0.15, -0.22},
                        {0.15, -0.22},
                        {0.95, -0.72},
                        {0.95, 0.72},
                        {0.15, 0.22},
                        {-0.15, 0.22},
                        {-0.95, 0.72}},
                       0.12, cx, cy, u);
        cairo_new_sub_path(cr);
        roundedRect(cr, cx - 0.31 * u, cy - 0.40 * u, 0.62 * u, 0.80 * u, 0.15 * u);
        break;
    }
}

void markPath(cairo_t* cr, int kind, int variant, double cx, double cy, double u) {
    if (variant == 0) return;
    const MarkPlace m = markPlace(kind);
    cairo_save(cr);
    cairo_translate(cr, cx + m.x * u, cy + m.y * u);
    cairo_rotate(cr, deg(m.angle));
    const double s = m.scale * u / 36.0; // marks are designed in pixels at a unit of 36
    cairo_new_sub_path(cr);
    switch (variant) {
    case 1: // ring: one round hole
        cairo_arc(cr, 0, 0, 8.5 * s, 0, 2 * M_PI);
        break;
    case 2: // bar: a slot across
        roundedRect(cr, -13 * s, -4 * s, 26 * s, 8 * s, 4 * s);
        break;
    default: // twin: two small round holes
        cairo_arc(cr, -8 * s, 0, 5 * s, 0, 2 * M_PI);
        cairo_close_path(cr);
        cairo_new_sub_path(cr);
        cairo_arc(cr, 8 * s, 0, 5 * s, 0, 2 * M_PI);
        break;
    }
    cairo_close_path(cr);
    cairo_restore(cr);
}

void wildPath(cairo_t* cr, int step, double cx, double cy, double u) {
    // A four-pointed sparkle turning a quarter turn over the whole animation, so the loop is seamless.
    const double rotation = deg(-90 + step * 90.0 / layout::kWildFrames);
    std::vector<Pt> pts;
    for (int i = 0; i < 8; ++i) {
        const double r = i % 2 == 0 ? 0.99 : 0.34;
        const double a = rotation + i * M_PI / 4;
        pts.push_back({r * std::cos(a), r * std::sin(a)});
    }
    cairo_new_sub_path(cr);
    roundedPolygon(cr, pts, 0.1, cx, cy, u);
}

} // namespace datagen
