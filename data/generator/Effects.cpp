// The hourglass with its two sand pictures, the trash can's lid animation and the curtains.
#include "Pictures.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

// The hourglass cell and where the game draws the sand: the top sand's corner at (36, 48), the bottom
// sand's area from y 106 down, both relative to the cell's corner.
constexpr int kGlassW = 116, kGlassH = 180;
constexpr double kGlassCx = 58, kNeck = 103;
constexpr int kTopSandX = 36, kTopSandY = 48, kTopSandW = 44, kTopSandH = 52;
constexpr int kBottomSandX = 34, kBottomSandY = 106, kBottomSandW = 48, kBottomSandH = 52;

const Rgb kSand = hex(0xffb86b);

// The inside of the glass: two bulbs meeting at the neck, relative to (kGlassCx, kNeck).
void glassInside(cairo_t* cr, double grow) {
    const double w = 25 + grow, n = 3 + grow * 0.5, top = -58 - grow, r = 7;
    cairo_new_sub_path(cr);
    cairo_move_to(cr, -n, 0);
    for (int side = 0; side < 2; ++side) {
        const double dy = side == 0 ? -1 : 1; // upper bulb, then lower bulb (mirrored)
        const double sx = side == 0 ? -1 : 1;
        // Up the left wall of the upper bulb, across, and down its right wall; then the lower bulb mirrored.
        cairo_curve_to(cr, sx * n, dy * 12, sx * w, dy * 16, sx * w, dy * 30);
        cairo_line_to(cr, sx * w, dy * (-top - r));
        cairo_curve_to(cr, sx * w, dy * -top, sx * w, dy * -top, sx * (w - r), dy * -top);
        cairo_line_to(cr, -sx * (w - r), dy * -top);
        cairo_curve_to(cr, -sx * w, dy * -top, -sx * w, dy * -top, -sx * w, dy * (-top - r));
        cairo_line_to(cr, -sx * w, dy * 30);
        cairo_curve_to(cr, -sx * w, dy * 16, -sx * n, dy * 12, -sx * n, 0);
    }
    cairo_close_path(cr);
}

void sandFill(cairo_t* cr, double x, double w) {
    cairo_pattern_t* g = cairo_pattern_create_linear(x, 0, x + w, 0);
    addStop(g, 0, darken(kSand, 0.25));
    addStop(g, 0.4, lighten(kSand, 0.2));
    addStop(g, 1, darken(kSand, 0.3));
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

// Grains of glitter on the sand, clipped to whatever clip is current.
void glitter(cairo_t* cr, double x, double y, double w, double h, uint64_t seed) {
    Scatter rnd(seed);
    for (int i = 0; i < static_cast<int>(w * h / 18); ++i) {
        cairo_arc(cr, x + rnd.next() * w, y + rnd.next() * h, 0.5 + rnd.next() * 0.7, 0, 2 * M_PI);
        setColor(cr, rnd.next() < 0.5 ? Rgb{1, 1, 1} : hex(0x9a4a1a), 0.35 + rnd.next() * 0.4);
        cairo_fill(cr);
    }
}

// The heap in the lower bulb, relative to the bulb's sand area: a rounded cone as wide as the bulb.
void heapPath(cairo_t* cr, double x, double y, double w, double h) {
    cairo_move_to(cr, x, y + h);
    cairo_curve_to(cr, x + w * 0.12, y + h * 0.35, x + w * 0.38, y, x + w / 2, y);
    cairo_curve_to(cr, x + w * 0.62, y, x + w * 0.88, y + h * 0.35, x + w, y + h);
    cairo_close_path(cr);
}

// The whole glass, upright, around (0, 0) at the neck; the heap is drawn in the lower bulb when set.
void paintGlass(cairo_t* cr, bool heap) {
    // Posts and caps.
    for (const double x : {-36.0, 33.0}) {
        cairo_rectangle(cr, x, -62, 3, 124);
        cairo_pattern_t* p = cairo_pattern_create_linear(x, 0, x + 3, 0);
        addStop(p, 0, hex(0xfff0b8));
        addStop(p, 1, hex(0x8a5f17));
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    for (const double y : {-75.0, 61.0}) {
        const auto cap = [&](cairo_t* c) { roundedRect(c, -42, y, 84, 14, 5); };
        softShadow(cr, cap, 0, 2, 2, palette::ink, 0.5);
        cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + 14);
        addStop(g, 0, hex(0xffe7a3));
        addStop(g, 0.5, palette::brass);
        addStop(g, 1, hex(0x6b4710));
        cap(cr);
        cairo_set_source(cr, g);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(g);
        setColor(cr, hex(0x4a300a));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    // The glass: faintly tinted, with its sand, a rim and two streaks of light.
    glassInside(cr, 3);
    setColor(cr, hex(0x9fd8ff), 0.18);
    cairo_fill(cr);
    if (heap) {
        cairo_save(cr);
        glassInside(cr, 0);
        cairo_clip(cr);
        heapPath(cr, kBottomSandX - kGlassCx, kBottomSandY - kNeck, kBottomSandW, kBottomSandH);
        sandFill(cr, kBottomSandX - kGlassCx, kBottomSandW);
        cairo_restore(cr);
    }
    glassInside(cr, 3);
    setColor(cr, hex(0xdff3ff), 0.85);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    for (const double dy : {-1.0, 1.0}) {
        cairo_move_to(cr, -17, dy * 52);
        cairo_curve_to(cr, -19, dy * 40, -19, dy * 30, -12, dy * 18);
        setColor(cr, Rgb{1, 1, 1}, 0.55);
        cairo_set_line_width(cr, 2.5);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    }
}

} // namespace

cairo_surface_t* drawHourglass() {
    return drawGrid(kHourglassFrames, 1, kGlassW, kGlassH, kHourglassFrames, [&](cairo_t* cr, int i) {
        // Frame 0 stands upright for the game's sand; the others turn it over, shrinking a little so that
        // the turned glass stays inside its cell, with the full bulb carried round from bottom to top.
        const double a = M_PI * i / kHourglassFrames;
        const double hx = 42, hy = 76;
        const double ex = hx * std::fabs(std::cos(a)) + hy * std::fabs(std::sin(a));
        const double ey = hx * std::fabs(std::sin(a)) + hy * std::fabs(std::cos(a));
        const double s = i == 0 ? 1.0 : std::min({1.0, (kGlassW / 2.0 - 2) / ex, (kGlassH - kNeck - 2) / ey});
        cairo_translate(cr, kGlassCx, kNeck);
        cairo_rotate(cr, a);
        cairo_scale(cr, s, s);
        paintGlass(cr, i > 0);
    });
}

cairo_surface_t* drawSandTop() {
    // The sand filling the upper bulb; the game shows its lower part, so it sinks as time runs out.
    cairo_surface_t* s = newPicture(kTopSandW, kTopSandH);
    cairo_t* cr = cairo_create(s);
    cairo_translate(cr, kGlassCx - kTopSandX, kNeck - kTopSandY);
    glassInside(cr, 0);
    cairo_clip(cr);
    cairo_rectangle(cr, kTopSandX - kGlassCx, kTopSandY - kNeck, kTopSandW, kTopSandH);
    sandFill(cr, kTopSandX - kGlassCx, kTopSandW);
    glitter(cr, kTopSandX - kGlassCx, kTopSandY - kNeck, kTopSandW, kTopSandH, 11);
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawSandBottom() {
    // The heap; the game shows its top part at the bottom of the lower bulb, so it grows from a point.
    cairo_surface_t* s = newPicture(kBottomSandW, kBottomSandH);
    cairo_t* cr = cairo_create(s);
    heapPath(cr, 0, 0, kBottomSandW, kBottomSandH);
    sandFill(cr, 0, kBottomSandW);
    heapPath(cr, 0, 0, kBottomSandW, kBottomSandH);
    cairo_clip(cr);
    glitter(cr, 0, 0, kBottomSandW, kBottomSandH, 12);
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawTrash() {
    constexpr int w = kTrashWidth, h = kTrashHeight;
    return drawGrid(kTrashFrames, 1, w, h, kTrashFrames, [&](cairo_t* cr, int i) {
        const double cx = w / 2.0, top = kTrashMouthY, bottom = h - 3, tw = 68, bw = 54;
        const auto body = [&](cairo_t* c) {
            cairo_move_to(c, cx - tw / 2, top);
            cairo_line_to(c, cx + tw / 2, top);
            cairo_line_to(c, cx + bw / 2, bottom - 4);
            cairo_curve_to(c, cx + bw / 2, bottom, cx + bw / 2 - 4, bottom, cx + bw / 2 - 6, bottom);
            cairo_line_to(c, cx - bw / 2 + 6, bottom);
            cairo_curve_to(c, cx - bw / 2 + 4, bottom, cx - bw / 2, bottom, cx - bw / 2, bottom - 4);
            cairo_close_path(c);
        };
        softShadow(cr, body, 0, 3, 4, palette::ink, 0.7);
        cairo_pattern_t* g = cairo_pattern_create_linear(cx - tw / 2, 0, cx + tw / 2, 0);
        addStop(g, 0, darken(palette::teal, 0.45));
        addStop(g, 0.35, lighten(palette::teal, 0.2));
        addStop(g, 1, darken(palette::teal, 0.55));
        body(cr);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        // Ribs and gold bands.
        cairo_save(cr);
        body(cr);
        cairo_clip(cr);
        for (int k = -2; k <= 2; ++k) {
            cairo_move_to(cr, cx + k * 12, top + 10);
            cairo_line_to(cr, cx + k * 10, bottom - 8);
            setColor(cr, darken(palette::teal, 0.6), 0.55);
            cairo_set_line_width(cr, 3);
            cairo_stroke(cr);
        }
        for (const double y : {top + 3.0, bottom - 7.0}) {
            cairo_rectangle(cr, 0, y, w, 4);
            setColor(cr, palette::gold);
            cairo_fill(cr);
        }
        cairo_restore(cr);
        // The dark mouth, seen as the two flaps swing up.
        if (i > 0) {
            cairo_save(cr);
            cairo_translate(cr, cx, top);
            cairo_scale(cr, tw / 2, 5);
            cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
            cairo_restore(cr);
            setColor(cr, hex(0x061417));
            cairo_fill(cr);
        }
        // Two flaps hinged at the ends of the mouth, like a hopper's doors.
        const double angle = (80.0 * i / (kTrashFrames - 1)) * M_PI / 180.0;
        for (int side = 0; side < 2; ++side) {
            const double dir = side == 0 ? 1 : -1;
            cairo_save(cr);
            cairo_translate(cr, cx - dir * (tw / 2 + 1), top - 1);
            cairo_rotate(cr, -dir * angle);
            const auto flap = [&](cairo_t* c) {
                if (dir > 0)
                    roundedRect(c, 0, -6, tw / 2 + 1, 8, 3);
                else
                    roundedRect(c, -tw / 2 - 1, -6, tw / 2 + 1, 8, 3);
            };
            softShadow(cr, flap, 0, 2, 2, palette::ink, 0.5);
            cairo_pattern_t* lg = cairo_pattern_create_linear(0, -6, 0, 2);
            addStop(lg, 0, lighten(palette::teal, 0.4));
            addStop(lg, 1, darken(palette::teal, 0.4));
            flap(cr);
            cairo_set_source(cr, lg);
            cairo_fill_preserve(cr);
            cairo_pattern_destroy(lg);
            setColor(cr, palette::gold);
            cairo_set_line_width(cr, 1.5);
            cairo_stroke(cr);
            cairo_restore(cr);
        }
    });
}

cairo_surface_t* drawClear(int width, int height) {
    return newPicture(width, height);
}

cairo_surface_t* drawCurtain() {
    constexpr int w = 800, h = 620;
    cairo_surface_t* s = newPicture(w, h);
    cairo_t* cr = cairo_create(s);
    // Velvet folds: each column's light follows a sum of slow waves.
    for (int x = 0; x < w; ++x) {
        const double f = 0.55 + 0.25 * std::sin(x * 0.061) + 0.15 * std::sin(x * 0.157 + 1.3) +
                         0.05 * std::sin(x * 0.41 + 0.4);
        const Rgb c = mix(hex(0x2a0a2e), hex(0xa02a6e), std::clamp(f, 0.0, 1.0));
        cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
        addStop(g, 0, darken(c, 0.55));
        addStop(g, 0.35, c);
        addStop(g, 1, darken(c, 0.25));
        cairo_rectangle(cr, x, 0, 1, h);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    }
    // A scatter of tiny gold sparkles woven in.
    Scatter rnd(77);
    for (int i = 0; i < 260; ++i) {
        const double x = rnd.next() * w, y = rnd.next() * h;
        cairo_arc(cr, x, y, 0.8 + rnd.next(), 0, 2 * M_PI);
        setColor(cr, palette::gold, 0.15 + rnd.next() * 0.35);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawCurtainRail() {
    constexpr int w = 800, h = 64;
    cairo_surface_t* s = newPicture(w, h);
    cairo_t* cr = cairo_create(s);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
    addStop(g, 0, hex(0x6b4710));
    addStop(g, 0.3, hex(0xffe7a3));
    addStop(g, 0.55, palette::brass);
    addStop(g, 1, hex(0x5a3a0a));
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    for (double x = 20; x < w; x += 40) {
        cairo_arc(cr, x, h / 2.0, 4, 0, 2 * M_PI);
        setColor(cr, hex(0x4a300a), 0.8);
        cairo_fill(cr);
        cairo_arc(cr, x - 1, h / 2.0 - 1, 2, 0, 2 * M_PI);
        setColor(cr, hex(0xfff3c4), 0.8);
        cairo_fill(cr);
    }
    // A medallion with the wildcard's sparkle in the middle.
    const auto medal = [&](cairo_t* c) { roundedRect(c, w / 2.0 - 130, 6, 260, h - 12, (h - 12) / 2.0); };
    softShadow(cr, medal, 0, 2, 4, palette::ink, 0.7);
    cairo_pattern_t* mg = cairo_pattern_create_linear(0, 6, 0, h - 6);
    addStop(mg, 0, hex(0x5b3c94));
    addStop(mg, 1, hex(0x2c1b4f));
    medal(cr);
    cairo_set_source(cr, mg);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(mg);
    setColor(cr, palette::gold);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    fancyText(cr, "Morphella", w / 2.0, h / 2.0 + 11, 32, hex(0xfff1b8), palette::coral, palette::ink, 4);
    cairo_rectangle(cr, 0, h - 3, w, 3);
    setColor(cr, hex(0x2a1a04));
    cairo_fill(cr);
    cairo_destroy(cr);
    return s;
}

} // namespace datagen
