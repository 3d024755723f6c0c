// Widget pictures: the dialog panel, button strips, the digit strip, the window icon and the cursor.
#include "Pictures.h"

#include <cmath>

namespace datagen {

cairo_surface_t* drawDialogPanel(int width, int height, const std::string& heading, const std::string& body) {
    cairo_surface_t* s = newPicture(width, height);
    cairo_t* cr = cairo_create(s);
    // The shadow must stay inside the picture: a container clips its children to its own rectangle.
    const double x = 10, y = 8, w = width - 20, h = height - 22, r = 18;
    const auto shape = [&](cairo_t* c) { roundedRect(c, x, y, w, h, r); };
    softShadow(cr, shape, 0, 6, 8, palette::ink, 0.75);

    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    addStop(g, 0, hex(0xfffaf2));
    addStop(g, 1, hex(0xeadcf3));
    shape(cr);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);

    // Heading band, clipped to the panel's rounded top.
    cairo_save(cr);
    shape(cr);
    cairo_clip(cr);
    cairo_pattern_t* band = cairo_pattern_create_linear(0, y, 0, y + 52);
    addStop(band, 0, lighten(palette::violet, 0.2));
    addStop(band, 1, darken(palette::violet, 0.2));
    cairo_rectangle(cr, x, y, w, 52);
    cairo_set_source(cr, band);
    cairo_fill(cr);
    cairo_pattern_destroy(band);
    cairo_rectangle(cr, x, y + 52, w, 2);
    setColor(cr, palette::gold);
    cairo_fill(cr);
    cairo_restore(cr);

    shape(cr);
    setColor(cr, darken(palette::violet, 0.45));
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);

    useFont(cr, 26, true);
    centredTextPath(cr, heading, width / 2.0 + 1, y + 37);
    setColor(cr, palette::ink, 0.5);
    cairo_fill(cr);
    centredTextPath(cr, heading, width / 2.0, y + 35);
    setColor(cr, palette::cream);
    cairo_fill(cr);

    // Body text, one line per '\n'.
    useFont(cr, 17, false);
    double line = y + 92;
    size_t start = 0;
    while (start <= body.size()) {
        const size_t end = body.find('\n', start);
        const std::string part =
            body.substr(start, end == std::string::npos ? std::string::npos : end - start);
        centredTextPath(cr, part, width / 2.0, line);
        setColor(cr, hex(0x3a2a55));
        cairo_fill(cr);
        line += 25;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    cairo_destroy(cr);
    return s;
}

namespace {

enum class Look { Normal, Hover, Pressed, Disabled };

Rgb grey(Rgb c) {
    const double l = 0.3 * c.r + 0.59 * c.g + 0.11 * c.b;
    return mix(Rgb{l, l, l}, hex(0x8a8399), 0.4);
}

void paintButton(cairo_t* cr, double ox, int cw, int ch, const std::string& label, Rgb base, Look look) {
    const double inset = 6;
    const double press = look == Look::Pressed ? 2 : 0;
    const double x = ox + inset, y = 4 + press, w = cw - 2 * inset, h = ch - 12;
    const auto pill = [&](cairo_t* c) { roundedRect(c, x, y, w, h, h / 2); };
    Rgb c = base;
    if (look == Look::Hover) c = lighten(base, 0.18);
    if (look == Look::Pressed) c = darken(base, 0.15);
    if (look == Look::Disabled) c = grey(base);
    const double alpha = look == Look::Disabled ? 0.75 : 1.0;

    if (look == Look::Hover) glow(cr, pill, 6, palette::gold, 0.9);
    if (look != Look::Pressed) softShadow(cr, pill, 0, 3, 4, palette::ink, 0.55 * alpha);

    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    if (look == Look::Pressed) {
        addStop(g, 0, darken(c, 0.2), alpha);
        addStop(g, 1, lighten(c, 0.1), alpha);
    } else {
        addStop(g, 0, lighten(c, 0.3), alpha);
        addStop(g, 1, darken(c, 0.15), alpha);
    }
    pill(cr);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    setColor(cr, darken(c, 0.5), alpha);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);

    if (look != Look::Pressed && look != Look::Disabled) {
        // Gloss on the upper half.
        roundedRect(cr, x + 6, y + 3, w - 12, h / 2 - 2, (h / 2 - 2) / 2);
        cairo_pattern_t* gl = cairo_pattern_create_linear(0, y + 3, 0, y + h / 2);
        addStop(gl, 0, Rgb{1, 1, 1}, 0.45);
        addStop(gl, 1, Rgb{1, 1, 1}, 0.05);
        cairo_set_source(cr, gl);
        cairo_fill(cr);
        cairo_pattern_destroy(gl);
    }

    useFont(cr, 20, true);
    const double cx = ox + cw / 2.0;
    const double base_line = y + h / 2 + 7;
    if (look != Look::Disabled) {
        centredTextPath(cr, label, cx, base_line + 1.5);
        setColor(cr, darken(c, 0.6), 0.8);
        cairo_fill(cr);
    }
    centredTextPath(cr, label, cx, base_line);
    setColor(cr, look == Look::Disabled ? hex(0xd8d3e0) : Rgb{1, 1, 1});
    cairo_fill(cr);
}

} // namespace

cairo_surface_t* drawButtonStrip(const std::string& label, Rgb base, int cellWidth, int cellHeight) {
    cairo_surface_t* s = newPicture(cellWidth * 4, cellHeight);
    cairo_t* cr = cairo_create(s);
    const Look looks[] = {Look::Normal, Look::Hover, Look::Pressed, Look::Disabled};
    for (int i = 0; i < 4; ++i) {
        cairo_save(cr);
        cairo_rectangle(cr, i * cellWidth, 0, cellWidth, cellHeight);
        cairo_clip(cr);
        paintButton(cr, i * cellWidth, cellWidth, cellHeight, label, base, looks[i]);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawDigitStrip(int cw, int ch) {
    static const char* glyphs[15] = {":", "-", "$", ",", ".", "0", "1", "2",
                                     "3", "4", "5", "6", "7", "8", "9"};
    cairo_surface_t* s = newPicture(cw * 15, ch);
    cairo_t* cr = cairo_create(s);
    const double size = ch * 0.86;
    const double base = ch * 0.80;
    for (int i = 0; i < 15; ++i) {
        // Separators are drawn from half-width cells (the left half of their cell), so they sit there.
        const double cx = (i == 3 || i == 4) ? i * cw + cw / 4.0 : i * cw + cw / 2.0;
        const auto glyph = [&](cairo_t* c) {
            useFont(c, size, true);
            centredTextPath(c, glyphs[i], cx, base);
        };
        cairo_save(cr);
        cairo_rectangle(cr, i * cw, 0, cw, ch);
        cairo_clip(cr);
        softShadow(cr, glyph, 0, 2, 2, palette::ink, 0.8);
        glyph(cr);
        setColor(cr, palette::ink);
        cairo_set_line_width(cr, 4);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
        cairo_pattern_t* g = cairo_pattern_create_linear(0, base - size * 0.72, 0, base);
        addStop(g, 0, hex(0xfffbea));
        addStop(g, 1, palette::gold);
        glyph(cr);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawIcon(int size) {
    cairo_surface_t* s = newPicture(size, size);
    cairo_t* cr = cairo_create(s);
    const double n = size;
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
    paintMorphShape(cr, n / 2, n / 2, n * 0.34, 0.25, false);
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
