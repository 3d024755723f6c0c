// Widget pictures: buttons, arrow buttons, tabs, digit strips, the window icon and the cursor.
#include "Pictures.h"
#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace datagen {

namespace {

enum class Look { Normal, Hover, Disabled };

Rgb greyed(Rgb c) {
    const double l = 0.3 * c.r + 0.59 * c.g + 0.11 * c.b;
    return mix(Rgb{l, l, l}, hex(0x8a8399), 0.5);
}

// A glossy pill. Hover lifts and brightens it with a gold glow; disabled is grey, flat and faded.
void paintPill(cairo_t* cr, double w, double h, Rgb base, Look look,
               const std::function<void(cairo_t*, double, double, Rgb)>& face) {
    const double inset = 5;
    const double x = inset, y = 4, pw = w - 2 * inset, ph = h - 11;
    const auto pill = [&](cairo_t* c) { roundedRect(c, x, y, pw, ph, ph / 2); };
    Rgb c = base;
    if (look == Look::Hover) c = lighten(base, 0.2);
    if (look == Look::Disabled) c = greyed(base);
    const double alpha = look == Look::Disabled ? 0.7 : 1.0;

    if (look == Look::Hover) glow(cr, pill, 5, palette::gold, 1.0);
    softShadow(cr, pill, 0, look == Look::Disabled ? 1 : 3, 3, palette::ink, 0.6 * alpha);

    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + ph);
    addStop(g, 0, lighten(c, 0.32), alpha);
    addStop(g, 0.55, c, alpha);
    addStop(g, 1, darken(c, 0.22), alpha);
    pill(cr);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    setColor(cr, look == Look::Hover ? palette::gold : darken(c, 0.5), alpha);
    cairo_set_line_width(cr, look == Look::Hover ? 2.5 : 2);
    cairo_stroke(cr);

    if (look != Look::Disabled) {
        roundedRect(cr, x + ph * 0.25, y + 2.5, pw - ph * 0.5, ph * 0.45, ph * 0.22);
        cairo_pattern_t* gl = cairo_pattern_create_linear(0, y + 2, 0, y + ph * 0.5);
        addStop(gl, 0, Rgb{1, 1, 1}, 0.5);
        addStop(gl, 1, Rgb{1, 1, 1}, 0.06);
        cairo_set_source(cr, gl);
        cairo_fill(cr);
        cairo_pattern_destroy(gl);
    }
    face(cr, w / 2.0, y + ph / 2.0, c);
}

const Look kLooks[3] = {Look::Normal, Look::Hover, Look::Disabled};

} // namespace

cairo_surface_t* drawButton(const std::string& label, Rgb base, int width, int height, double textSize) {
    // The label keeps clear of most of the pill's rounded ends (the pill is inset 5 pixels, 11 less high).
    const double room = width - 10 - (height - 11) * 0.35;
    cairo_surface_t* probe = newPicture(1, 1);
    cairo_t* pc = cairo_create(probe);
    const double size =
        fitSize(pc, label, room, textSize > 0 ? textSize : std::min(20.0, height * 0.42), true);
    cairo_destroy(pc);
    cairo_surface_destroy(probe);
    return drawGrid(3, 1, width, height, 3, [&](cairo_t* cr, int i) {
        const Look look = kLooks[i];
        paintPill(cr, width, height, base, look, [&](cairo_t* c, double cx, double cy, Rgb col) {
            useFont(c, size, true);
            const double baseline = cy + size * 0.36;
            if (look != Look::Disabled) {
                centredTextPath(c, label, cx, baseline + 1.5);
                setColor(c, darken(col, 0.65), 0.85);
                cairo_fill(c);
            }
            centredTextPath(c, label, cx, baseline);
            setColor(c, look == Look::Disabled ? hex(0xe4e0ea) : Rgb{1, 1, 1});
            cairo_fill(c);
        });
    });
}

cairo_surface_t* drawArrowButton(bool up, Rgb base, int size) {
    return drawGrid(3, 1, size, size, 3, [&](cairo_t* cr, int i) {
        const Look look = kLooks[i];
        const double c = size / 2.0, r = size / 2.0 - 4;
        const auto disc = [&](cairo_t* t) { cairo_arc(t, c, c - 1, r, 0, 2 * M_PI); };
        Rgb col = look == Look::Hover ? lighten(base, 0.2) : look == Look::Disabled ? greyed(base) : base;
        const double alpha = look == Look::Disabled ? 0.6 : 1.0;
        if (look == Look::Hover) glow(cr, disc, 4, palette::gold, 1.0);
        softShadow(cr, disc, 0, 2, 2, palette::ink, 0.6 * alpha);
        cairo_pattern_t* g = cairo_pattern_create_radial(c - r * 0.3, c - r * 0.5, 1, c, c, r * 1.2);
        addStop(g, 0, lighten(col, 0.45), alpha);
        addStop(g, 1, darken(col, 0.2), alpha);
        disc(cr);
        cairo_set_source(cr, g);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(g);
        setColor(cr, look == Look::Hover ? palette::gold : darken(col, 0.5), alpha);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        const double s = r * 0.5, dir = up ? -1 : 1;
        cairo_move_to(cr, c - s, c - 1 - dir * s * 0.45);
        cairo_line_to(cr, c + s, c - 1 - dir * s * 0.45);
        cairo_line_to(cr, c, c - 1 + dir * s * 0.65);
        cairo_close_path(cr);
        setColor(cr, look == Look::Disabled ? hex(0xe4e0ea) : Rgb{1, 1, 1});
        cairo_fill(cr);
    });
}

cairo_surface_t* drawTab(const std::string& label, int width, int height) {
    return drawGrid(3, 1, width, height, 3, [&](cairo_t* cr, int i) {
        const bool front = i == 2, hover = i == 1;
        const auto tab = [&](cairo_t* t) {
            const double r = 10;
            cairo_new_sub_path(t);
            cairo_move_to(t, 2, height);
            cairo_arc(t, 2 + r, 3 + r, r, M_PI, 1.5 * M_PI);
            cairo_arc(t, width - 2 - r, 3 + r, r, 1.5 * M_PI, 2 * M_PI);
            cairo_line_to(t, width - 2, height);
            cairo_close_path(t);
        };
        cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, height);
        if (front) {
            addStop(g, 0, lighten(palette::violet, 0.25));
            addStop(g, 1, palette::violet);
        } else {
            addStop(g, 0, hover ? hex(0x8f79c2) : hex(0x6c5b96));
            addStop(g, 1, hover ? hex(0x6b56a0) : hex(0x4d3f70));
        }
        tab(cr);
        cairo_set_source(cr, g);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(g);
        setColor(cr, front || hover ? palette::gold : hex(0x2a1f45));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        textAt(cr, label, width / 2.0, height / 2.0 + 7, 16, true,
               front   ? Rgb{1, 1, 1}
               : hover ? palette::cream
                       : hex(0xc9bfe0),
               Align::Centre, 1.0, width - 16);
    });
}

cairo_surface_t* drawDigits(DigitStyle style, int cw, int ch) {
    static const char* glyphs[15] = {":", "-", "$", ",", ".", "0", "1", "2",
                                     "3", "4", "5", "6", "7", "8", "9"};
    const double size = ch * 0.92;
    const double base = ch * 0.84;
    return drawGrid(15, 1, cw, ch, 15, [&](cairo_t* cr, int i) {
        // Separators are drawn from half-width cells (the left half of their cell), so they sit there.
        const double cx = (i == 3 || i == 4) ? cw / 4.0 : cw / 2.0;
        const auto glyph = [&](cairo_t* c) {
            useFont(c, size, true);
            centredTextPath(c, glyphs[i], cx, base);
        };
        Rgb top = hex(0xfffbea), bottom = palette::gold, outline = palette::ink;
        if (style == DigitStyle::Pop) {
            top = Rgb{1, 1, 1};
            bottom = hex(0xffe27a);
            outline = hex(0x7a1f3d);
        }
        softShadow(cr, glyph, 0, 2, 2, palette::ink, 0.8);
        glyph(cr);
        setColor(cr, outline);
        cairo_set_line_width(cr, ch * 0.11);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
        cairo_pattern_t* g = cairo_pattern_create_linear(0, base - size * 0.72, 0, base);
        addStop(g, 0, top);
        addStop(g, 1, bottom);
        glyph(cr);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    });
}

void paintIcon(cairo_t* cr, double n) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, n);
    addStop(g, 0, lighten(palette::violet, 0.15));
    addStop(g, 1, palette::plum);
    roundedRect(cr, n * 0.03, n * 0.03, n * 0.94, n * 0.94, n * 0.22);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    setColor(cr, palette::ink, 0.8);
    cairo_set_line_width(cr, std::max(1.0, n / 32));
    cairo_stroke(cr);
    if (n >= 32) {
        paintWildcard(cr, 1, n / 2, n / 2, n * 0.4);
        return;
    }
    // Too small for the glow and the glints: a bigger sparkle in flat rainbow light with a dark rim.
    wildPath(cr, 1, n / 2, n / 2, n * 0.46);
    cairo_pattern_t* light = cairo_pattern_create_linear(0, 0, n, n);
    addStop(light, 0, Rgb{0.55, 1.0, 0.7});
    addStop(light, 0.5, Rgb{1, 1, 1});
    addStop(light, 1, Rgb{1.0, 0.5, 0.75});
    cairo_set_source(cr, light);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(light);
    setColor(cr, palette::ink, 0.7);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

cairo_surface_t* drawIcon(int size) {
    cairo_surface_t* s = newPicture(size, size);
    cairo_t* cr = cairo_create(s);
    paintIcon(cr, size);
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawCursor() {
    // A pointing arrow whose tip, the hot spot, is at (1, 1).
    cairo_surface_t* s = newPicture(32, 32);
    cairo_t* cr = cairo_create(s);
    const auto arrow = [](cairo_t* c) {
        cairo_move_to(c, 1.5, 1.5);
        cairo_line_to(c, 1.5, 22);
        cairo_line_to(c, 7, 17);
        cairo_line_to(c, 11, 26);
        cairo_line_to(c, 15, 24.3);
        cairo_line_to(c, 11, 15.5);
        cairo_line_to(c, 18, 15.5);
        cairo_close_path(c);
    };
    softShadow(cr, arrow, 1.5, 2, 2, palette::ink, 0.6);
    arrow(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 26);
    addStop(g, 0, Rgb{1, 1, 1});
    addStop(g, 1, palette::cream);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    setColor(cr, palette::plum);
    cairo_set_line_width(cr, 1.5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    cairo_destroy(cr);
    return s;
}

} // namespace datagen
