// Small pieces of the board: ribbon banners, the paused card, the power-up icons, the revealer's bar, the
// game's name plates and the rows-to-come label.
#include "Pictures.h"
#include "Shapes.h"

#include <cmath>

namespace datagen {

// A little hourglass symbol, for the extra-time icon, the timed game's plate and the instructions.
void hourglassSymbol(cairo_t* cr, double cx, double cy, double s, Rgb c) {
    cairo_move_to(cr, cx - s, cy - s);
    cairo_line_to(cr, cx + s, cy - s);
    cairo_line_to(cr, cx + s * 0.15, cy);
    cairo_line_to(cr, cx + s, cy + s);
    cairo_line_to(cr, cx - s, cy + s);
    cairo_line_to(cr, cx - s * 0.15, cy);
    cairo_close_path(cr);
    setColor(cr, c);
    cairo_fill(cr);
}

namespace {

// A round enamel coin for a power-up icon.
void coin(cairo_t* cr, double cx, double cy, double r, Rgb base) {
    const auto disc = [&](cairo_t* c) { cairo_arc(c, cx, cy, r, 0, 2 * M_PI); };
    softShadow(cr, disc, 0, 2, 2, palette::ink, 0.6);
    cairo_pattern_t* g = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, 1, cx, cy, r * 1.1);
    addStop(g, 0, lighten(base, 0.55));
    addStop(g, 0.6, base);
    addStop(g, 1, darken(base, 0.4));
    disc(cr);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_arc(cr, cx, cy, r - 1.5, 0, 2 * M_PI);
    setColor(cr, palette::gold);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
}

} // namespace

cairo_surface_t* drawBanner(const std::string& text, Rgb base, int w, int h, double size) {
    cairo_surface_t* s = newPicture(w, h);
    cairo_t* cr = cairo_create(s);
    const double m = 10, fold = h * 0.22;
    // The ribbon's tails behind, then its face.
    for (int side = 0; side < 2; ++side) {
        const double x0 = side == 0 ? m : w - m, dir = side == 0 ? 1 : -1;
        cairo_move_to(cr, x0, m + fold);
        cairo_line_to(cr, x0 + dir * h * 0.55, m + fold);
        cairo_line_to(cr, x0 + dir * h * 0.55, h - m);
        cairo_line_to(cr, x0, h - m);
        cairo_line_to(cr, x0 + dir * h * 0.22, (m + fold + h - m) / 2);
        cairo_close_path(cr);
        setColor(cr, darken(base, 0.45));
        cairo_fill(cr);
    }
    const auto face = [&](cairo_t* c) {
        roundedRect(c, m + h * 0.4, m, w - 2 * m - h * 0.8, h - 2 * m - fold, 8);
    };
    softShadow(cr, face, 0, 4, 6, palette::ink, 0.7);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, m, 0, h - m - fold);
    addStop(g, 0, lighten(base, 0.35));
    addStop(g, 0.5, base);
    addStop(g, 1, darken(base, 0.25));
    face(cr);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    setColor(cr, palette::gold);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    // The words keep to the ribbon's face.
    fancyText(cr, text, w / 2.0, m + (h - 2 * m - fold) / 2 + size * 0.36, size, hex(0xfffbea), palette::gold,
              palette::ink, size * 0.12, w - 2 * m - h * 0.8);
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawPausedCard() {
    constexpr int w = 360, h = 180;
    cairo_surface_t* s = newPicture(w, h);
    cairo_t* cr = cairo_create(s);
    paintPanel(cr, 0, 0, w, h, tr("Paused"));
    // Two bars, the sign of a pause.
    for (const double x : {w / 2.0 - 22, w / 2.0 + 6}) {
        roundedRect(cr, x, 76, 16, 40, 4);
        setColor(cr, palette::violet);
        cairo_fill(cr);
    }
    textAt(cr, tr("Click here or press any key to play on"), w / 2.0, 148, 15, false, palette::text,
           Align::Centre, 1.0, w - 44);
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawSpecials() {
    constexpr int n = 44;
    return drawGrid(4, 1, n, n, 4, [&](cairo_t* cr, int i) {
        const double c = n / 2.0, r = n / 2.0 - 3;
        switch (i) {
        case 0: { // revealer: an eye
            coin(cr, c, c, r, hex(0x1fa5d6));
            cairo_save(cr);
            cairo_move_to(cr, c - 13, c);
            cairo_curve_to(cr, c - 6, c - 9, c + 6, c - 9, c + 13, c);
            cairo_curve_to(cr, c + 6, c + 9, c - 6, c + 9, c - 13, c);
            cairo_close_path(cr);
            setColor(cr, Rgb{1, 1, 1});
            cairo_fill(cr);
            cairo_arc(cr, c, c, 5, 0, 2 * M_PI);
            setColor(cr, hex(0x0d3550));
            cairo_fill(cr);
            cairo_arc(cr, c - 1.5, c - 1.5, 1.6, 0, 2 * M_PI);
            setColor(cr, Rgb{1, 1, 1});
            cairo_fill(cr);
            cairo_restore(cr);
            break;
        }
        case 1: // wildcards: the sparkle
            coin(cr, c, c, r, hex(0x8a4fd8));
            paintWildcard(cr, 0, c, c, 13);
            break;
        case 2: // extra time: an hourglass and a plus
            coin(cr, c, c, r, hex(0x23a866));
            hourglassSymbol(cr, c - 4, c, 9, Rgb{1, 1, 1});
            textAt(cr, "+", c + 10, c + 7, 18, true, palette::gold, Align::Centre);
            break;
        default: // points
            coin(cr, c, c, r, hex(0xe0a020));
            textAt(cr, "10K", c, c + 5, kSmallTextSize, true, hex(0x5a3a0a), Align::Centre);
            break;
        }
    });
}

cairo_surface_t* drawRevealerBar() {
    constexpr int w = 214, h = 12;
    cairo_surface_t* s = newPicture(w, h);
    cairo_t* cr = cairo_create(s);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, w, 0);
    addStop(g, 0, hex(0x1fa5d6));
    addStop(g, 1, palette::mint);
    roundedRect(cr, 0, 0, w, h, h / 2.0);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    roundedRect(cr, 3, 1.5, w - 6, h * 0.4, h * 0.2);
    setColor(cr, Rgb{1, 1, 1}, 0.55);
    cairo_fill(cr);
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawModes() {
    constexpr int w = 220, h = 44;
    return drawGrid(2, 1, w, h, 2, [&](cairo_t* cr, int i) {
        if (i == 0) {
            // Rising rows: three bars stepping up.
            for (int k = 0; k < 3; ++k) {
                roundedRect(cr, 16 + k * 9, 30 - k * 8, 7, 6 + k * 8, 2);
                setColor(cr, palette::mint);
                cairo_fill(cr);
            }
        } else {
            hourglassSymbol(cr, 28, 22, 10, palette::gold);
        }
        // Centred right of the emblem, clear of it on the left.
        fancyText(cr, i == 0 ? tr("Rising Rows") : tr("Timed Game"), 126, 30, 22, hex(0xfffbea),
                  palette::gold, palette::ink, 3, 2 * (126 - 46));
    });
}

cairo_surface_t* drawRowsLabel() {
    constexpr int w = 116, h = 22;
    cairo_surface_t* s = newPicture(w, h);
    cairo_t* cr = cairo_create(s);
    roundedRect(cr, 0.5, 0.5, w - 1, h - 1, 6);
    setColor(cr, hex(0x2a1a4a));
    cairo_fill_preserve(cr);
    setColor(cr, palette::gold, 0.8);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // TRANSLATORS: over the number of rows still to rise in the rising-rows game; a short label.
    textAt(cr, tr("ROWS TO COME"), w / 2.0, 16, kSmallTextSize, true, palette::gold, Align::Centre, 1.0,
           w - 6);
    cairo_destroy(cr);
    return s;
}

} // namespace datagen
