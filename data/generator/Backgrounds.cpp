// Level backgrounds 1 to 3: northern lights over mountains, a coral reef and desert dunes at sunset.
// Each is bright and detailed at full strength (the reward at a level's end) and keeps its large shapes
// when the game draws it at a quarter of its brightness behind the belts.
#include "Backgrounds.h"

#include <cmath>

namespace datagen {

void skyGradient(cairo_t* cr, const std::vector<std::pair<double, uint32_t>>& stops) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, kBgH);
    for (const auto& [at, colour] : stops)
        addStop(g, at, hex(colour));
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
}

void ridge(cairo_t* cr, double base, const std::vector<Wave>& waves, cairo_pattern_t* fill) {
    cairo_move_to(cr, 0, kBgH);
    for (int x = 0; x <= kBgW; x += 4) {
        double y = base;
        for (const Wave& w : waves)
            y += w.amplitude * std::sin(x * w.frequency + w.phase);
        cairo_line_to(cr, x, y);
    }
    cairo_line_to(cr, kBgW, kBgH);
    cairo_close_path(cr);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
}

cairo_pattern_t* vertical(double y0, uint32_t top, double y1, uint32_t bottom) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y0, 0, y1);
    addStop(g, 0, hex(top));
    addStop(g, 1, hex(bottom));
    return g;
}

void stars(cairo_t* cr, int count, double maxY, uint64_t seed) {
    Scatter rnd(seed);
    for (int i = 0; i < count; ++i) {
        const double x = rnd.next() * kBgW, y = rnd.next() * maxY, r = 0.5 + rnd.next() * 1.4;
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
        setColor(cr, Rgb{1, 1, 1}, 0.35 + rnd.next() * 0.6);
        cairo_fill(cr);
        if (r > 1.6) radialGlow(cr, x, y, r * 4, hex(0xcfe8ff), 0.35);
    }
}

void blurredLayer(cairo_t* cr, int radius, const std::function<void(cairo_t*)>& draw) {
    cairo_surface_t* layer = newPicture(kBgW, kBgH);
    cairo_t* lc = cairo_create(layer);
    draw(lc);
    cairo_destroy(lc);
    blur(layer, radius);
    cairo_set_source_surface(cr, layer, 0, 0);
    cairo_paint(cr);
    cairo_surface_destroy(layer);
}

namespace {

void pine(cairo_t* cr, double x, double ground, double h, Rgb c) {
    cairo_move_to(cr, x, ground - h);
    for (int tier = 0; tier < 4; ++tier) {
        const double y = ground - h + h * (tier + 1) * 0.22, w = h * (0.12 + tier * 0.07);
        cairo_line_to(cr, x + w, y);
        cairo_line_to(cr, x + w * 0.35, y);
    }
    cairo_line_to(cr, x + h * 0.06, ground);
    cairo_line_to(cr, x - h * 0.06, ground);
    for (int tier = 3; tier >= 0; --tier) {
        const double y = ground - h + h * (tier + 1) * 0.22, w = h * (0.12 + tier * 0.07);
        cairo_line_to(cr, x - w * 0.35, y);
        cairo_line_to(cr, x - w, y);
    }
    cairo_close_path(cr);
    setColor(cr, c);
    cairo_fill(cr);
}

void aurora(cairo_t* cr) {
    skyGradient(cr, {{0, 0x050a24}, {0.45, 0x0d2a4a}, {0.8, 0x1d5a6a}, {1, 0x2a6a70}});
    stars(cr, 160, 260, 3);
    // Ribbons of light: many thin translucent strokes along a wave, blurred into curtains.
    blurredLayer(cr, 6, [](cairo_t* c) {
        const struct {
            double y, amp, freq, phase;
            uint32_t colour;
        } bands[] = {
            {90, 30, 0.012, 0.5, 0x4dffb0}, {130, 24, 0.016, 2.0, 0x7df9ff}, {70, 18, 0.02, 4.0, 0xc77dff}};
        for (const auto& b : bands) {
            for (int x = 0; x < kBgW; x += 2) {
                const double y = b.y + b.amp * std::sin(x * b.freq + b.phase);
                const double len = 60 + 40 * std::sin(x * 0.05 + b.phase);
                cairo_pattern_t* g = cairo_pattern_create_linear(0, y - len, 0, y + 10);
                addStop(g, 0, hex(b.colour), 0);
                addStop(g, 0.8, hex(b.colour), 0.35);
                addStop(g, 1, hex(b.colour), 0);
                cairo_rectangle(c, x, y - len, 2, len + 10);
                cairo_set_source(c, g);
                cairo_fill(c);
                cairo_pattern_destroy(g);
            }
        }
    });
    // Mountains, far to near, with snow caught by the light.
    cairo_pattern_t* far = vertical(180, 0x3a4d7a, 330, 0x1b2547);
    ridge(cr, 250, {{40, 0.011, 1.0}, {18, 0.031, 0.3}, {6, 0.09, 2.0}}, far);
    cairo_pattern_destroy(far);
    cairo_pattern_t* mid = vertical(230, 0x26345e, 380, 0x10172f);
    ridge(cr, 300, {{34, 0.015, 2.6}, {14, 0.043, 1.1}, {5, 0.12, 0.2}}, mid);
    cairo_pattern_destroy(mid);
    // A still lake reflecting the sky's glow.
    cairo_pattern_t* lake = vertical(330, 0x2a6a70, 400, 0x0a1a2e);
    cairo_rectangle(cr, 0, 340, kBgW, 60);
    cairo_set_source(cr, lake);
    cairo_fill(cr);
    cairo_pattern_destroy(lake);
    for (int i = 0; i < 14; ++i) {
        cairo_rectangle(cr, 40 + i * 31, 350 + (i % 4) * 10, 18 + (i % 3) * 10, 1.5);
        setColor(cr, hex(0x7df9ff), 0.35);
        cairo_fill(cr);
    }
    for (int i = 0; i < 9; ++i)
        pine(cr, 10 + i * 58 + (i % 2) * 14, 350, 50 + (i % 3) * 16, hex(0x06101c));
}

void reef(cairo_t* cr) {
    skyGradient(cr, {{0, 0x38c9e0}, {0.35, 0x1787b8}, {1, 0x0a2e5c}});
    // Rays of sunlight from the surface.
    blurredLayer(cr, 8, [](cairo_t* c) {
        for (int i = 0; i < 7; ++i) {
            const double x = 30 + i * 70;
            cairo_move_to(c, x, 0);
            cairo_line_to(c, x + 40, 0);
            cairo_line_to(c, x + 120, kBgH);
            cairo_line_to(c, x + 40, kBgH);
            cairo_close_path(c);
            setColor(c, Rgb{1, 1, 1}, 0.12);
            cairo_fill(c);
        }
    });
    // Sand and rocks.
    cairo_pattern_t* sand = vertical(320, 0xe8c987, 400, 0x9c7a46);
    ridge(cr, 345, {{12, 0.013, 0.7}, {5, 0.05, 2.0}}, sand);
    cairo_pattern_destroy(sand);
    // Coral fans and branches in jewel colours.
    const auto branch = [&](auto& self, double x, double y, double len, double angle, int depth,
                            Rgb c) -> void {
        const double x2 = x + len * std::cos(angle), y2 = y + len * std::sin(angle);
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x2, y2);
        setColor(cr, c);
        cairo_set_line_width(cr, 2 + depth * 2.2);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
        if (depth == 0) return;
        self(self, x2, y2, len * 0.72, angle - 0.45, depth - 1, c);
        self(self, x2, y2, len * 0.72, angle + 0.4, depth - 1, c);
    };
    const struct {
        double x, len;
        uint32_t colour;
    } corals[] = {{60, 42, 0xff6f91},
                  {150, 30, 0xffb347},
                  {260, 48, 0xc77dff},
                  {370, 36, 0xff6f91},
                  {440, 28, 0x4dffb0}};
    for (const auto& c : corals)
        branch(branch, c.x, 360, c.len, -M_PI / 2, 4, hex(c.colour));
    // Swaying weed and a school of fish.
    for (int i = 0; i < 6; ++i) {
        const double x = 20 + i * 85;
        cairo_move_to(cr, x, 400);
        cairo_curve_to(cr, x - 20, 340, x + 25, 300, x + 5, 240 + (i % 3) * 20);
        setColor(cr, hex(0x1f8a5a), 0.9);
        cairo_set_line_width(cr, 6);
        cairo_stroke(cr);
    }
    Scatter rnd(21);
    for (int i = 0; i < 16; ++i) {
        const double x = 120 + i * 14 + rnd.next() * 30, y = 120 + std::sin(i * 0.8) * 30 + rnd.next() * 20;
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, 1.0, 0.5);
        cairo_arc(cr, 0, 0, 7, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_move_to(cr, x - 6, y);
        cairo_line_to(cr, x - 12, y - 4);
        cairo_line_to(cr, x - 12, y + 4);
        cairo_close_path(cr);
        setColor(cr, hex(0xffd166));
        cairo_fill(cr);
    }
    for (int i = 0; i < 40; ++i) {
        const double x = rnd.next() * kBgW, y = rnd.next() * 330, r = 1.5 + rnd.next() * 5;
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
        setColor(cr, Rgb{1, 1, 1}, 0.5);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
        cairo_arc(cr, x - r * 0.35, y - r * 0.35, r * 0.25, 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

void dunes(cairo_t* cr) {
    skyGradient(cr, {{0, 0x3b1c5a}, {0.35, 0xc2407a}, {0.62, 0xff9a5a}, {0.8, 0xffd38a}, {1, 0xffd38a}});
    radialGlow(cr, 300, 230, 170, hex(0xffe6a8), 0.75);
    cairo_arc(cr, 300, 230, 56, 0, 2 * M_PI);
    setColor(cr, hex(0xfff3d0));
    cairo_fill(cr);
    // Thin clouds drifting across the sun.
    blurredLayer(cr, 3, [](cairo_t* c) {
        for (int i = 0; i < 4; ++i) {
            roundedRect(c, 110 + i * 66, 186 + i * 15, 190 - i * 22, 7, 3.5);
            setColor(c, hex(0xb8386e), 0.7);
            cairo_fill(c);
        }
    });
    const struct {
        double base, amp, freq, phase;
        uint32_t top, bottom;
    } layers[] = {{280, 22, 0.010, 0.4, 0xe0786a, 0xb0506a},
                  {315, 26, 0.013, 2.2, 0xd65f4a, 0x8a3a4e},
                  {355, 30, 0.009, 4.1, 0xa8433c, 0x5a2440}};
    for (const auto& l : layers) {
        cairo_pattern_t* g = vertical(l.base - l.amp, l.top, kBgH, l.bottom);
        ridge(cr, l.base, {{l.amp, l.freq, l.phase}, {l.amp * 0.3, l.freq * 3.1, l.phase * 2}}, g);
        cairo_pattern_destroy(g);
    }
    // Birds far away.
    for (int i = 0; i < 5; ++i) {
        const double x = 360 + i * 18 + (i % 2) * 6, y = 110 + i * 9 - (i % 2) * 12;
        cairo_move_to(cr, x - 6, y);
        cairo_curve_to(cr, x - 3, y - 4, x - 1, y - 3, x, y);
        cairo_curve_to(cr, x + 1, y - 3, x + 3, y - 4, x + 6, y);
        setColor(cr, hex(0x3b1c5a));
        cairo_set_line_width(cr, 1.6);
        cairo_stroke(cr);
    }
}

} // namespace

cairo_surface_t* drawLevelBackground(int n) {
    cairo_surface_t* s = newPicture(kBgW, kBgH);
    cairo_t* cr = cairo_create(s);
    switch (n) {
    case 1:
        aurora(cr);
        break;
    case 2:
        reef(cr);
        break;
    case 3:
        dunes(cr);
        break;
    case 4:
        paintBlossomHills(cr);
        break;
    case 5:
        paintCrystalCave(cr);
        break;
    default:
        paintSkyIslands(cr);
        break;
    }
    cairo_destroy(cr);
    return s;
}

} // namespace datagen
