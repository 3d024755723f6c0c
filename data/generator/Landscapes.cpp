// Level backgrounds 4 to 6: blossom hills in spring, a cave of glowing crystals and islands in the sky.
#include "Backgrounds.h"

#include <cmath>

namespace datagen {

namespace {

void cloud(cairo_t* cr, double x, double y, double s, double alpha) {
    const double puffs[][3] = {{0, 0, 1.0},        {-0.9, 0.25, 0.7}, {0.9, 0.2, 0.75},  {-0.4, -0.45, 0.75},
                               {0.45, -0.35, 0.8}, {1.6, 0.35, 0.5},  {-1.55, 0.4, 0.45}};
    for (const auto& p : puffs) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, x + p[0] * s, y + p[1] * s, p[2] * s, 0, 2 * M_PI);
    }
    setColor(cr, Rgb{1, 1, 1}, alpha);
    cairo_fill(cr);
}

void blossomTree(cairo_t* cr, double x, double ground) {
    cairo_move_to(cr, x - 8, ground);
    cairo_curve_to(cr, x - 4, ground - 60, x - 20, ground - 100, x - 10, ground - 140);
    cairo_line_to(cr, x + 4, ground - 140);
    cairo_curve_to(cr, x - 2, ground - 100, x + 10, ground - 60, x + 10, ground);
    cairo_close_path(cr);
    setColor(cr, hex(0x5a3142));
    cairo_fill(cr);
    for (const double a : {-0.9, -0.3, 0.4}) {
        cairo_move_to(cr, x - 6, ground - 110);
        cairo_line_to(cr, x - 6 + 60 * std::sin(a), ground - 110 - 50 * std::cos(a));
        setColor(cr, hex(0x5a3142));
        cairo_set_line_width(cr, 5);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    }
    Scatter rnd(44);
    for (int i = 0; i < 70; ++i) {
        const double a = rnd.next() * 2 * M_PI, r = std::sqrt(rnd.next()) * 78;
        const double bx = x - 6 + r * std::cos(a) * 1.1, by = ground - 160 + r * std::sin(a) * 0.7;
        cairo_arc(cr, bx, by, 9 + rnd.next() * 8, 0, 2 * M_PI);
        setColor(cr, mix(hex(0xff9ecb), hex(0xffe0ef), rnd.next()), 0.8);
        cairo_fill(cr);
    }
}

void crystal(cairo_t* cr, double x, double base, double w, double h, double tilt, Rgb c) {
    const auto shape = [&](cairo_t* t) {
        cairo_move_to(t, x - w / 2, base);
        cairo_line_to(t, x - w / 2 + tilt, base - h * 0.75);
        cairo_line_to(t, x + tilt, base - h);
        cairo_line_to(t, x + w / 2 + tilt, base - h * 0.75);
        cairo_line_to(t, x + w / 2, base);
        cairo_close_path(t);
    };
    glow(cr, shape, 14, c, 0.8);
    cairo_pattern_t* g = cairo_pattern_create_linear(x - w / 2, 0, x + w / 2, 0);
    addStop(g, 0, lighten(c, 0.55));
    addStop(g, 0.5, c);
    addStop(g, 1, darken(c, 0.45));
    shape(cr);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_move_to(cr, x + tilt, base - h);
    cairo_line_to(cr, x + tilt * 0.4, base);
    setColor(cr, Rgb{1, 1, 1}, 0.45);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

void balloon(cairo_t* cr, double x, double y, double r, Rgb a, Rgb b) {
    for (int i = 0; i < 6; ++i) {
        cairo_save(cr);
        cairo_move_to(cr, x, y + r * 1.25);
        cairo_curve_to(cr, x - r * 1.3, y + r * 0.2, x - r * 1.0, y - r * 1.2, x, y - r * 1.05);
        cairo_curve_to(cr, x + r * 1.0, y - r * 1.2, x + r * 1.3, y + r * 0.2, x, y + r * 1.25);
        cairo_close_path(cr);
        cairo_clip(cr);
        cairo_rectangle(cr, x - r * 1.3 + i * r * 2.6 / 6, y - r * 1.3, r * 2.6 / 6, r * 2.7);
        setColor(cr, i % 2 == 0 ? a : b);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    cairo_move_to(cr, x - r * 0.35, y + r * 1.2);
    cairo_line_to(cr, x - r * 0.25, y + r * 1.65);
    cairo_move_to(cr, x + r * 0.35, y + r * 1.2);
    cairo_line_to(cr, x + r * 0.25, y + r * 1.65);
    setColor(cr, hex(0x5a3a20));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    roundedRect(cr, x - r * 0.28, y + r * 1.62, r * 0.56, r * 0.38, 2);
    setColor(cr, hex(0x8a5a2a));
    cairo_fill(cr);
}

} // namespace

void paintBlossomHills(cairo_t* cr) {
    skyGradient(cr, {{0, 0x7fc8ff}, {0.55, 0xcfe9ff}, {1, 0xffe3f0}});
    cloud(cr, 90, 70, 24, 0.85);
    cloud(cr, 360, 50, 18, 0.75);
    const struct {
        double base, amp, freq, phase;
        uint32_t top, bottom;
    } hills[] = {{250, 20, 0.012, 1.0, 0x9ad0a8, 0x6fae86},
                 {300, 24, 0.010, 3.0, 0x6fcf7a, 0x3f9a55},
                 {345, 18, 0.015, 0.3, 0x4fb060, 0x2a7a3e}};
    for (const auto& h : hills) {
        cairo_pattern_t* g = vertical(h.base - h.amp, h.top, kBgH, h.bottom);
        ridge(cr, h.base, {{h.amp, h.freq, h.phase}, {h.amp * 0.35, h.freq * 2.7, h.phase + 1}}, g);
        cairo_pattern_destroy(g);
    }
    blossomTree(cr, 380, 330);
    // Flowers in the grass and petals on the wind.
    Scatter rnd(9);
    for (int i = 0; i < 60; ++i) {
        const double x = rnd.next() * kBgW, y = 330 + rnd.next() * 65;
        cairo_arc(cr, x, y, 2 + rnd.next() * 2, 0, 2 * M_PI);
        setColor(cr, i % 3 == 0 ? hex(0xfff27a) : i % 3 == 1 ? Rgb{1, 1, 1} : hex(0xff9ecb));
        cairo_fill(cr);
    }
    for (int i = 0; i < 24; ++i) {
        const double x = rnd.next() * kBgW, y = rnd.next() * 300;
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_rotate(cr, rnd.next() * M_PI);
        cairo_scale(cr, 1.0, 0.5);
        cairo_arc(cr, 0, 0, 4, 0, 2 * M_PI);
        cairo_restore(cr);
        setColor(cr, hex(0xffb3d6), 0.9);
        cairo_fill(cr);
    }
}

void paintCrystalCave(cairo_t* cr) {
    skyGradient(cr, {{0, 0x12061f}, {0.5, 0x2a0e45}, {1, 0x1a0830}});
    radialGlow(cr, 240, 230, 260, hex(0x7a3fd0), 0.45);
    // The cave's mouth: a lighter opening at the back.
    cairo_save(cr);
    cairo_translate(cr, 240, 200);
    cairo_scale(cr, 1.5, 1.0);
    cairo_arc(cr, 0, 0, 90, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_pattern_t* back = cairo_pattern_create_radial(240, 200, 10, 240, 200, 140);
    addStop(back, 0, hex(0x6a4ab0), 0.9);
    addStop(back, 1, hex(0x2a0e45), 0);
    cairo_set_source(cr, back);
    cairo_fill(cr);
    cairo_pattern_destroy(back);
    // Stalactites from the roof.
    for (int i = 0; i < 12; ++i) {
        const double x = i * 42 + (i % 2) * 12, len = 40 + (i * 37 % 60);
        cairo_move_to(cr, x - 16, 0);
        cairo_line_to(cr, x + 16, 0);
        cairo_line_to(cr, x + 2, len);
        cairo_close_path(cr);
        setColor(cr, hex(0x0c0416));
        cairo_fill(cr);
    }
    cairo_pattern_t* floor = vertical(320, 0x1a0a2a, kBgH, 0x08020f);
    ridge(cr, 340, {{14, 0.02, 0.5}, {6, 0.07, 1.5}}, floor);
    cairo_pattern_destroy(floor);
    const struct {
        double x, w, h, tilt;
        uint32_t colour;
    } crystals[] = {{60, 34, 120, -10, 0x4dd9ff}, {100, 24, 80, 8, 0x9b5de5},  {190, 28, 70, -6, 0xff6fae},
                    {330, 40, 150, 12, 0x9b5de5}, {380, 26, 90, -8, 0x4dffb0}, {430, 30, 110, 6, 0x4dd9ff},
                    {260, 20, 50, 4, 0xffd166}};
    for (const auto& c : crystals)
        crystal(cr, c.x, 365, c.w, c.h, c.tilt, hex(c.colour));
    Scatter rnd(5);
    for (int i = 0; i < 50; ++i)
        radialGlow(cr, rnd.next() * kBgW, rnd.next() * 320, 3 + rnd.next() * 4, hex(0xd9b8ff), 0.7);
}

void paintSkyIslands(cairo_t* cr) {
    skyGradient(cr, {{0, 0x4a8fe0}, {0.6, 0x9fd0ff}, {1, 0xfff0c8}});
    radialGlow(cr, 410, 60, 120, hex(0xfff6c8), 0.8);
    blurredLayer(cr, 3, [](cairo_t* c) {
        cloud(c, 70, 320, 34, 0.9);
        cloud(c, 250, 350, 40, 0.9);
        cloud(c, 430, 330, 30, 0.9);
        cloud(c, 320, 90, 16, 0.7);
    });
    // Two floating islands: grass on top, rock hanging below, a waterfall from the larger.
    const auto island = [&](double x, double y, double w) {
        cairo_move_to(cr, x - w / 2, y);
        cairo_curve_to(cr, x - w / 3, y + w * 0.5, x - w / 8, y + w * 0.7, x, y + w * 0.8);
        cairo_curve_to(cr, x + w / 8, y + w * 0.6, x + w / 3, y + w * 0.45, x + w / 2, y);
        cairo_close_path(cr);
        cairo_pattern_t* rock = vertical(y, 0x9a7a5a, y + w * 0.8, 0x5a4030);
        cairo_set_source(cr, rock);
        cairo_fill(cr);
        cairo_pattern_destroy(rock);
        roundedRect(cr, x - w / 2 - 4, y - 10, w + 8, 16, 8);
        setColor(cr, hex(0x5ec46a));
        cairo_fill(cr);
        for (int k = 0; k < 3; ++k) {
            cairo_arc(cr, x - w / 3 + k * w / 3, y - 18, w * 0.09, 0, 2 * M_PI);
            setColor(cr, hex(0x3a9a50));
            cairo_fill(cr);
        }
    };
    island(150, 180, 170);
    // The waterfall: streaks of white fading into the clouds below.
    for (int k = 0; k < 5; ++k) {
        cairo_rectangle(cr, 188 + k * 2.4, 186, 2.4, 150);
        cairo_pattern_t* fall = cairo_pattern_create_linear(0, 186, 0, 336);
        addStop(fall, 0, hex(0xe8f8ff), k % 2 == 0 ? 0.95 : 0.7);
        addStop(fall, 1, hex(0xe8f8ff), 0);
        cairo_set_source(cr, fall);
        cairo_fill(cr);
        cairo_pattern_destroy(fall);
    }
    island(380, 240, 110);
    balloon(cr, 330, 100, 22, hex(0xff6f91), hex(0xffd166));
    balloon(cr, 70, 150, 14, hex(0x4dd9ff), Rgb{1, 1, 1});
}

} // namespace datagen
