// Scene pictures: the background, the title, the wave banner, the loading picture, the floor tile and the
// score plaque.
#include "Pictures.h"

#include <cmath>
#include <cstdint>

namespace datagen {

namespace {

// A small fixed generator, so every build draws the same scattered shapes.
class Scatter {
public:
    double next() {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(m_state >> 11) / static_cast<double>(1ULL << 53);
    }

private:
    uint64_t m_state = 0x5eed5eedULL;
};

void radialGlow(cairo_t* cr, double x, double y, double r, Rgb c, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
    addStop(p, 0, c, alpha);
    addStop(p, 1, c, 0);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
}

} // namespace

cairo_surface_t* drawBackground() {
    const int w = 800, h = 600;
    cairo_surface_t* s = newPicture(w, h);
    cairo_t* cr = cairo_create(s);

    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, h);
    addStop(sky, 0, palette::night);
    addStop(sky, 0.55, palette::plum);
    addStop(sky, 1, hex(0x173a52));
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);

    radialGlow(cr, 640, 90, 420, palette::violet, 0.55);
    radialGlow(cr, 120, 520, 380, palette::teal, 0.28);
    radialGlow(cr, 400, 300, 300, palette::coral, 0.10);

    // Soft rings and dots drifting across the sky, blurred so they read as out-of-focus light.
    cairo_surface_t* bokeh = newPicture(w, h);
    cairo_t* bc = cairo_create(bokeh);
    Scatter rnd;
    const Rgb tints[] = {palette::gold, palette::mint, palette::coral, palette::cream};
    for (int i = 0; i < 46; ++i) {
        const double x = rnd.next() * w, y = rnd.next() * h * 0.9;
        const double r = 6 + rnd.next() * 34;
        const Rgb c = tints[i % 4];
        cairo_arc(bc, x, y, r, 0, 2 * M_PI);
        if (i % 3 == 0) {
            setColor(bc, c, 0.10 + rnd.next() * 0.08);
            cairo_set_line_width(bc, 2 + r * 0.08);
            cairo_stroke(bc);
        } else {
            setColor(bc, c, 0.05 + rnd.next() * 0.07);
            cairo_fill(bc);
        }
    }
    cairo_destroy(bc);
    blur(bokeh, 4);
    cairo_set_source_surface(cr, bokeh, 0, 0);
    cairo_paint(cr);
    cairo_surface_destroy(bokeh);

    // A few faint sparkles stay sharp.
    for (int i = 0; i < 70; ++i) {
        const double x = rnd.next() * w, y = rnd.next() * h * 0.8;
        const double r = 0.6 + rnd.next() * 1.3;
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
        setColor(cr, palette::cream, 0.25 + rnd.next() * 0.4);
        cairo_fill(cr);
    }

    // Vignette draws the eye to the middle.
    cairo_pattern_t* v = cairo_pattern_create_radial(w / 2.0, h / 2.0, 200, w / 2.0, h / 2.0, 560);
    addStop(v, 0, palette::ink, 0);
    addStop(v, 1, palette::ink, 0.6);
    cairo_set_source(cr, v);
    cairo_paint(cr);
    cairo_pattern_destroy(v);

    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawTitle() {
    const int w = 560, h = 150;
    const std::string text = "Morphella";
    cairo_surface_t* s = newPicture(w, h);
    cairo_t* cr = cairo_create(s);
    useFont(cr, 108, true);
    const double base = 112;
    const auto path = [&](cairo_t* c) {
        useFont(c, 108, true);
        centredTextPath(c, text, w / 2.0, base);
    };

    softShadow(cr, path, 0, 8, 10, palette::ink, 0.75);
    glow(cr, path, 16, palette::coral, 0.45);

    path(cr);
    setColor(cr, palette::ink);
    cairo_set_line_width(cr, 9);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);

    cairo_pattern_t* fill = cairo_pattern_create_linear(0, base - 80, 0, base + 6);
    addStop(fill, 0, hex(0xfff1b8));
    addStop(fill, 0.45, palette::gold);
    addStop(fill, 1, palette::coral);
    path(cr);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);

    // A thin shine on the upper half of the letters.
    cairo_save(cr);
    path(cr);
    cairo_clip(cr);
    cairo_rectangle(cr, 0, 0, w, base - 44);
    setColor(cr, Rgb{1, 1, 1}, 0.22);
    cairo_fill(cr);
    cairo_restore(cr);

    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawBanner(const std::string& text) {
    const int w = 420, h = 60;
    cairo_surface_t* s = newPicture(w, h);
    cairo_t* cr = cairo_create(s);
    const auto pill = [&](cairo_t* c) { roundedRect(c, 8, 6, w - 16, h - 16, (h - 16) / 2.0); };
    softShadow(cr, pill, 0, 4, 6, palette::ink, 0.6);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 6, 0, h - 10);
    addStop(g, 0, lighten(palette::teal, 0.35));
    addStop(g, 1, darken(palette::teal, 0.3));
    pill(cr);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    setColor(cr, darken(palette::teal, 0.55));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);

    useFont(cr, 26, true);
    centredTextPath(cr, text, w / 2.0 + 1, 41);
    setColor(cr, darken(palette::teal, 0.6), 0.8);
    cairo_fill(cr);
    centredTextPath(cr, text, w / 2.0, 39);
    setColor(cr, palette::cream);
    cairo_fill(cr);
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawLogo() {
    const int w = 460, h = 220;
    cairo_surface_t* s = newPicture(w, h);
    cairo_t* cr = cairo_create(s);

    // A star caught mid-morph above the name.
    paintMorphShape(cr, w / 2.0, 58, 44, 0.25, true);

    const auto name = [&](cairo_t* c) {
        useFont(c, 72, true);
        centredTextPath(c, "Morphella", w / 2.0, 172);
    };
    softShadow(cr, name, 0, 5, 8, Rgb{0.15, 0.02, 0.03}, 0.8);
    name(cr);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 120, 0, 176);
    addStop(fill, 0, palette::cream);
    addStop(fill, 1, hex(0xffd9a0));
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);

    useFont(cr, 18, false);
    centredTextPath(cr, "loading\xe2\x80\xa6", w / 2.0, 206);
    setColor(cr, palette::cream, 0.7);
    cairo_fill(cr);
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawTile() {
    const int n = 40;
    cairo_surface_t* s = newPicture(n, n);
    cairo_t* cr = cairo_create(s);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, n);
    addStop(g, 0, hex(0x3b2466));
    addStop(g, 1, hex(0x21143f));
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
    // Bevel: a light top edge and a dark right edge, so a row of tiles reads as a ledge.
    cairo_rectangle(cr, 0, 0, n, 2);
    setColor(cr, palette::violet, 0.9);
    cairo_fill(cr);
    cairo_rectangle(cr, n - 1, 0, 1, n);
    setColor(cr, palette::ink, 0.6);
    cairo_fill(cr);
    // A small diamond stud in the middle.
    cairo_move_to(cr, n / 2.0, 13);
    cairo_line_to(cr, n / 2.0 + 7, 21);
    cairo_line_to(cr, n / 2.0, 29);
    cairo_line_to(cr, n / 2.0 - 7, 21);
    cairo_close_path(cr);
    setColor(cr, palette::gold, 0.55);
    cairo_fill(cr);
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawPlaque(const std::string& label) {
    const int w = 200, h = 110;
    cairo_surface_t* s = newPicture(w, h);
    cairo_t* cr = cairo_create(s);
    const auto body = [&](cairo_t* c) { roundedRect(c, 8, 6, w - 16, h - 18, 16); };
    softShadow(cr, body, 0, 5, 8, palette::ink, 0.7);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 6, 0, h - 12);
    addStop(g, 0, hex(0x2d1a4f), 0.92);
    addStop(g, 1, hex(0x150c29), 0.92);
    body(cr);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    setColor(cr, palette::gold, 0.85);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    useFont(cr, 15, true);
    centredTextPath(cr, label, w / 2.0, 28);
    setColor(cr, palette::gold);
    cairo_fill(cr);
    cairo_destroy(cr);
    return s;
}

} // namespace datagen
