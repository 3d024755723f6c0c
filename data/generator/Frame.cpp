// The screen's frame: the machine around the board and the tray, and the side panel. The same drawing
// gives "frame" (opaque, with the empty board and tray) and "boardmask" (the frame with both windows cut
// out, laid over the belts so slots that run past the board's edges go out of sight under it).
#include "Fit.h"
#include "Layout.h"
#include "Pictures.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace datagen {

namespace {

using namespace layout;

// Letter-spaced capitals for the panel's labels, centred on cx and at most width wide.
void spacedLabel(cairo_t* cr, const std::string& text, double cx, double y, double size, Rgb c,
                 double width) {
    // The letters are drawn one by one; the byte sequence of a letter outside ASCII stays together.
    std::vector<std::string> letters;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80 && !letters.empty())
            letters.back() += text[i];
        else
            letters.emplace_back(1, text[i]);
    }
    const auto measure = [&](double s) {
        useFont(cr, s, true);
        double w = 0;
        for (const std::string& one : letters)
            w += textWidth(cr, one) + s * 0.18;
        return w - s * 0.18;
    };
    double fitted = size;
    while (measure(fitted) > width && fitted > size * kMinTextScale)
        fitted = std::max(size * kMinTextScale, fitted - 0.25);
    const double total = measure(fitted);
    if (total > width) reportOverflow("too wide", text, total, width);
    checkReadable(cr, text);
    const double spacing = fitted * 0.18;
    double x = cx - total / 2;
    for (const std::string& one : letters) {
        cairo_move_to(cr, x, y + 1);
        cairo_text_path(cr, one.c_str());
        setColor(cr, palette::ink, 0.7);
        cairo_fill(cr);
        cairo_move_to(cr, x, y);
        cairo_text_path(cr, one.c_str());
        setColor(cr, c);
        cairo_fill(cr);
        x += textWidth(cr, one) + spacing;
    }
}

} // namespace

void goldTrim(cairo_t* cr, double x, double y, double w, double h, double r) {
    // A highlight along the upper edge, darker brass below.
    cairo_pattern_t* trim = cairo_pattern_create_linear(0, y, 0, y + h);
    addStop(trim, 0, hex(0xffe7a3));
    addStop(trim, 0.5, palette::brass);
    addStop(trim, 1, hex(0x8a5f17));
    roundedRect(cr, x + 1.5, y + 1.5, w - 3, h - 3, r - 1.5);
    cairo_set_source(cr, trim);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_pattern_destroy(trim);
}

namespace {

// A gold-trimmed enamel body, the material of the whole machine.
void enamelBody(cairo_t* cr, double x, double y, double w, double h, double r) {
    const auto shape = [&](cairo_t* c) { roundedRect(c, x, y, w, h, r); };
    softShadow(cr, shape, 0, 6, 10, hex(0x05020c), 0.8);
    cairo_pattern_t* g = cairo_pattern_create_linear(x, y, x + w * 0.3, y + h);
    addStop(g, 0, hex(0x5b3c94));
    addStop(g, 0.5, hex(0x41296f));
    addStop(g, 1, hex(0x2c1b4f));
    shape(cr);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // A faint engine-turned lattice and a soft sheen across the top, so the enamel reads as a surface.
    cairo_save(cr);
    shape(cr);
    cairo_clip(cr);
    for (double d = -h; d < w; d += 9) {
        cairo_move_to(cr, x + d, y);
        cairo_line_to(cr, x + d + h, y + h);
        cairo_move_to(cr, x + d + h, y);
        cairo_line_to(cr, x + d, y + h);
    }
    setColor(cr, Rgb{1, 1, 1}, 0.025);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_pattern_t* sheen = cairo_pattern_create_linear(0, y, 0, y + 90);
    addStop(sheen, 0, Rgb{1, 1, 1}, 0.12);
    addStop(sheen, 1, Rgb{1, 1, 1}, 0);
    cairo_rectangle(cr, x, y, w, 90);
    cairo_set_source(cr, sheen);
    cairo_fill(cr);
    cairo_pattern_destroy(sheen);
    cairo_restore(cr);
    goldTrim(cr, x, y, w, h, r);
    roundedRect(cr, x + 5, y + 5, w - 10, h - 10, r - 4);
    setColor(cr, Rgb{1, 1, 1}, 0.08);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// A dark recess cut into the enamel, lit from above.
void recess(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    addStop(g, 0, hex(0x120a24));
    addStop(g, 1, hex(0x22153f));
    roundedRect(cr, x, y, w, h, r);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Shadow under the upper lip, light on the lower lip.
    cairo_save(cr);
    roundedRect(cr, x, y, w, h, r);
    cairo_clip(cr);
    cairo_pattern_t* lip = cairo_pattern_create_linear(0, y, 0, y + 8);
    addStop(lip, 0, Rgb{0, 0, 0}, 0.6);
    addStop(lip, 1, Rgb{0, 0, 0}, 0);
    cairo_rectangle(cr, x, y, w, 8);
    cairo_set_source(cr, lip);
    cairo_fill(cr);
    cairo_pattern_destroy(lip);
    cairo_restore(cr);
    roundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, r);
    cairo_pattern_t* edge = cairo_pattern_create_linear(0, y, 0, y + h);
    addStop(edge, 0, Rgb{0, 0, 0}, 0.5);
    addStop(edge, 1, palette::gold, 0.5);
    cairo_set_source(cr, edge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_pattern_destroy(edge);
}

void rivet(cairo_t* cr, double x, double y) {
    cairo_pattern_t* g = cairo_pattern_create_radial(x - 1, y - 1, 0.5, x, y, 3.2);
    addStop(g, 0, hex(0xfff3c4));
    addStop(g, 0.6, palette::brass);
    addStop(g, 1, hex(0x6b4710));
    cairo_arc(cr, x, y, 3.2, 0, 2 * M_PI);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

// The window's rim: a gold bead just outside it.
void windowRim(cairo_t* cr, double x, double y, double w, double h) {
    roundedRect(cr, x - 3, y - 3, w + 6, h + 6, 9);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y - 3, 0, y + h + 3);
    addStop(g, 0, hex(0x8a5f17));
    addStop(g, 0.5, hex(0xffe7a3));
    addStop(g, 1, palette::brass);
    cairo_set_source(cr, g);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    cairo_pattern_destroy(g);
}

void boardWell(cairo_t* cr) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, kBoardTop, 0, kBoardTop + kBoardHeight);
    addStop(g, 0, hex(0x1a1236));
    addStop(g, 1, hex(0x0e0a1f));
    cairo_rectangle(cr, kBoardLeft, kBoardTop, kWindowWidth, kBoardHeight);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

void trayWell(cairo_t* cr) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, kTrayTop, 0, kTrayTop + kTrayHeight);
    addStop(g, 0, hex(0x0d2a33));
    addStop(g, 1, hex(0x154552));
    cairo_rectangle(cr, kTrayLeft, kTrayTop, kTrayWidth, kTrayHeight);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Six shallow cradles, one for each place of the tray.
    for (int i = 0; i < 6; ++i) {
        const double cx = kTrayLeft + kCell * i + kCell / 2.0, cy = kTrayTop + kTrayHeight / 2.0 + 4;
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, 1.0, 0.35);
        cairo_pattern_t* c = cairo_pattern_create_radial(0, 0, 0, 0, 0, 36);
        addStop(c, 0, hex(0x041418), 0.7);
        addStop(c, 0.8, hex(0x0a252c), 0.3);
        addStop(c, 1, palette::teal, 0.18);
        cairo_arc(cr, 0, 0, 36, 0, 2 * M_PI);
        cairo_set_source(cr, c);
        cairo_fill(cr);
        cairo_pattern_destroy(c);
        cairo_restore(cr);
    }
}

// The shadow the rim casts into a window, drawn on the mask so it lies over the moving belts too.
void innerShadow(cairo_t* cr, double x, double y, double w, double h) {
    const double d = 9;
    const struct {
        double x0, y0, x1, y1, rx, ry, rw, rh, alpha;
    } sides[] = {
        {0, y, 0, y + d, x, y, w, d, 0.55},
        {0, y + h, 0, y + h - d, x, y + h - d, w, d, 0.3},
        {x, 0, x + d, 0, x, y, d, h, 0.4},
        {x + w, 0, x + w - d, 0, x + w - d, y, d, h, 0.4},
    };
    for (const auto& s : sides) {
        cairo_pattern_t* g = cairo_pattern_create_linear(s.x0, s.y0, s.x1, s.y1);
        addStop(g, 0, hex(0x05020c), s.alpha);
        addStop(g, 1, hex(0x05020c), 0);
        cairo_rectangle(cr, s.rx, s.ry, s.rw, s.rh);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    }
}

void sidePanel(cairo_t* cr) {
    enamelBody(cr, kPanelLeft, kPanelTop, kPanelWidth, kPanelHeight, 16);
    const double cx = kPanelLeft + kPanelWidth / 2.0;
    fancyText(cr, "Morphella", cx, 55, 38, hex(0xfff1b8), palette::coral, palette::ink, 5);
    // Score.
    recess(cr, 528, 70, 248, 66, 10);
    spacedLabel(cr, tr("SCORE"), cx, 87, kSmallTextSize, palette::gold, 248 - 24);
    // The hourglass's niche, the level and the time.
    recess(cr, 528, 144, 120, 192, 12);
    recess(cr, 656, 144, 120, 84, 10);
    spacedLabel(cr, tr("LEVEL"), 716, 162, kSmallTextSize, palette::gold, 120 - 12);
    recess(cr, 656, 236, 120, 100, 10);
    spacedLabel(cr, tr("TIME"), 716, 254, kSmallTextSize, palette::gold, 120 - 12);
    // The trash can's corner.
    recess(cr, 528, 494, 248, 86, 12);
    for (const double x : {kPanelLeft + 10.0, kPanelLeft + kPanelWidth - 10.0}) {
        rivet(cr, x, 342);
        rivet(cr, x, 488);
    }
}

void machine(cairo_t* cr, bool wells) {
    enamelBody(cr, kMachineLeft, kMachineTop, kMachineWidth, kMachineHeight, kMachineRadius);
    if (wells) {
        boardWell(cr);
        trayWell(cr);
    }
    windowRim(cr, kBoardLeft, kBoardTop, kWindowWidth, kBoardHeight);
    windowRim(cr, kTrayLeft, kTrayTop, kTrayWidth, kTrayHeight);
    // The plate between board and tray: a slot for the game's name and the revealer's gauge.
    recess(cr, 26, 435, 226, 50, 10);
    recess(cr, 264, 435, 234, 50, 10);
    // TRANSLATORS: over the gauge of the power-up that lights up the holes the held shape fits.
    spacedLabel(cr, tr("REVEALER"), 381, 453, kSmallTextSize, palette::gold, 234 - 20);
    cairo_rectangle(cr, 272, 459, 218, 16);
    setColor(cr, hex(0x07040f));
    cairo_fill(cr);
    for (double x = 272 + 218.0 / 4; x < 490; x += 218.0 / 4) {
        cairo_rectangle(cr, x, 471, 1, 4);
        setColor(cr, palette::gold, 0.5);
        cairo_fill(cr);
    }
    for (const double x : {16.0, 504.0}) {
        rivet(cr, x, 16);
        rivet(cr, x, 584);
        rivet(cr, x, 460);
    }
}

} // namespace

cairo_surface_t* drawFrame(bool mask) {
    cairo_surface_t* s = newPicture(800, 600);
    cairo_t* cr = cairo_create(s);
    paintBackdrop(cr, 800, 600);
    machine(cr, !mask);
    sidePanel(cr);
    if (mask) {
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        roundedRect(cr, kBoardLeft, kBoardTop, kWindowWidth, kBoardHeight, 6);
        roundedRect(cr, kTrayLeft, kTrayTop, kTrayWidth, kTrayHeight, 6);
        cairo_fill(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        innerShadow(cr, kBoardLeft, kBoardTop, kWindowWidth, kBoardHeight);
        innerShadow(cr, kTrayLeft, kTrayTop, kTrayWidth, kTrayHeight);
    }
    cairo_destroy(cr);
    return s;
}

} // namespace datagen
