// Scene pictures: the starry backdrop, the game's name as a heading and the loading picture.
#include "Pictures.h"
#include "Shapes.h"

#include <cmath>
#include <cstdint>

namespace datagen {

void paintBackdrop(cairo_t* cr, int w, int h) {

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
}

cairo_surface_t* drawTitle(int w, int h, double size) {
    const std::string text = "Morphella";
    cairo_surface_t* s = newPicture(w, h);
    cairo_t* cr = cairo_create(s);
    const double base = h * 0.5 + size * 0.36;
    const auto path = [&](cairo_t* c) {
        useFont(c, size, true);
        centredTextPath(c, text, w / 2.0, base);
    };

    softShadow(cr, path, 0, size * 0.07, static_cast<int>(size * 0.09), palette::ink, 0.75);
    glow(cr, path, static_cast<int>(size * 0.15), palette::coral, 0.45);

    path(cr);
    setColor(cr, palette::ink);
    cairo_set_line_width(cr, size * 0.085);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);

    cairo_pattern_t* fill = cairo_pattern_create_linear(0, base - size * 0.74, 0, base + size * 0.06);
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
    cairo_rectangle(cr, 0, 0, w, base - size * 0.4);
    setColor(cr, Rgb{1, 1, 1}, 0.22);
    cairo_fill(cr);
    cairo_restore(cr);

    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawLogo() {
    const int w = 460, h = 220;
    cairo_surface_t* s = newPicture(w, h);
    cairo_t* cr = cairo_create(s);

    // A row of the game's gems above the name, the wildcard's sparkle in the middle.
    const int kinds[] = {5, 4, -1, 8, 3};
    for (int i = 0; i < 5; ++i) {
        const double x = w / 2.0 + (i - 2) * 62, y = 62, unit = i == 2 ? 30 : 22;
        const auto disc = [&](cairo_t* c) { cairo_arc(c, x, y + 4, unit * 0.8, 0, 2 * M_PI); };
        softShadow(cr, disc, 0, 4, 6, Rgb{0.15, 0.02, 0.03}, 0.6);
        if (kinds[i] < 0)
            paintWildcard(cr, 0, x, y, unit);
        else
            paintShape(cr, kinds[i], 0, x, y, unit);
    }

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

    // TRANSLATORS: shown under the game's name while it starts.
    const std::string& loading = tr("loading…");
    useFont(cr, fitSize(cr, loading, w - 40, 18, false), false);
    centredTextPath(cr, loading, w / 2.0, 206);
    setColor(cr, palette::cream, 0.7);
    cairo_fill(cr);
    cairo_destroy(cr);
    return s;
}

} // namespace datagen
