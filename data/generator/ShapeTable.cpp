// Painting the shapes as gems, the frame table of the "shape" sprite and the slot backgrounds.
#include "Layout.h"
#include "Shapes.h"

#include <cmath>

namespace datagen {

namespace {

constexpr double kUnit = 35.0; // pixels per outline unit in an 80-pixel cell

// Variants are a shade apart as well as by their holes, so they differ in grey and not only in form.
Rgb variantColour(int kind, int variant) {
    const Rgb base = kindColour(kind);
    switch (variant) {
    case 1:
        return lighten(base, 0.14);
    case 2:
        return darken(base, 0.16);
    case 3:
        return lighten(base, 0.26);
    default:
        return base;
    }
}

Rgb hsv(double hueDegrees, double s, double v) {
    const double h = std::fmod(hueDegrees + 360.0, 360.0) / 60.0;
    const int i = static_cast<int>(h);
    const double f = h - i, p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (i) {
    case 0:
        return {v, t, p};
    case 1:
        return {q, v, p};
    case 2:
        return {p, v, t};
    case 3:
        return {p, q, v};
    case 4:
        return {t, p, v};
    default:
        return {v, p, q};
    }
}

// A diagonal light: bright at the upper left, dark at the lower right of the box around (cx, cy).
cairo_pattern_t* bevelLight(double cx, double cy, double u, double lightAlpha, double darkAlpha) {
    cairo_pattern_t* g = cairo_pattern_create_linear(cx - u, cy - u, cx + u, cy + u);
    addStop(g, 0, Rgb{1, 1, 1}, lightAlpha);
    addStop(g, 0.5, Rgb{1, 1, 1}, 0);
    addStop(g, 0.55, Rgb{0, 0, 0}, 0);
    addStop(g, 1, Rgb{0, 0, 0}, darkAlpha);
    return g;
}

// Paints a gem whose outline comes from outline() and whose holes come from holes(); everything is clipped
// to the outline and the holes are cut out last, so the alpha is exactly the shape's coverage.
void paintGem(cairo_t* cr, const std::function<void()>& outline, const std::function<void()>& holes, Rgb base,
              double cx, double cy, double u) {
    cairo_push_group(cr);
    cairo_new_path(cr);
    outline();
    cairo_pattern_t* body =
        cairo_pattern_create_radial(cx - 0.35 * u, cy - 0.45 * u, 0.05 * u, cx, cy, 1.25 * u);
    addStop(body, 0, lighten(base, 0.55));
    addStop(body, 0.45, base);
    addStop(body, 1, darken(base, 0.45));
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);

    cairo_save(cr);
    outline();
    cairo_clip(cr);
    // The gloss: a soft light on the upper half.
    cairo_save(cr);
    cairo_translate(cr, cx - 0.15 * u, cy - 0.55 * u);
    cairo_scale(cr, 1.0, 0.6);
    cairo_pattern_t* gloss = cairo_pattern_create_radial(0, 0, 0, 0, 0, 0.85 * u);
    addStop(gloss, 0, Rgb{1, 1, 1}, 0.45);
    addStop(gloss, 1, Rgb{1, 1, 1}, 0);
    cairo_set_source(cr, gloss);
    cairo_arc(cr, 0, 0, 0.85 * u, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);
    cairo_restore(cr);
    // The bevel along the edge, lit from the upper left.
    cairo_pattern_t* bevel = bevelLight(cx, cy, u, 0.75, 0.55);
    outline();
    cairo_set_source(cr, bevel);
    cairo_set_line_width(cr, 0.22 * u);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    cairo_pattern_destroy(bevel);
    // Holes are recesses: their walls are lit the other way round.
    cairo_pattern_t* wall = bevelLight(cx, cy, u, 0, 0.6);
    holes();
    cairo_set_source(cr, wall);
    cairo_set_line_width(cr, 0.2 * u);
    cairo_stroke(cr);
    cairo_pattern_destroy(wall);
    holes();
    setColor(cr, darken(base, 0.6), 0.9);
    cairo_set_line_width(cr, 0.09 * u);
    cairo_stroke(cr);
    // A crisp dark line just inside the outline.
    outline();
    setColor(cr, darken(base, 0.6));
    cairo_set_line_width(cr, 0.1 * u);
    cairo_stroke(cr);
    cairo_restore(cr);

    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OUT);
    holes();
    setColor(cr, Rgb{0, 0, 0});
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);
}

} // namespace

void paintShape(cairo_t* cr, int kind, int variant, double cx, double cy, double u) {
    paintGem(
        cr, [&] { kindPath(cr, kind, cx, cy, u); }, [&] { markPath(cr, kind, variant, cx, cy, u); },
        variantColour(kind, variant), cx, cy, u);
}

void paintWildcard(cairo_t* cr, int step, double cx, double cy, double u) {
    // A faint halo whose colour runs round the rainbow as the sparkle turns.
    const double hue = step * 360.0 / layout::kWildFrames;
    radialGlow(cr, cx, cy, 1.1 * u, hsv(hue + 60, 0.6, 1.0), 0.45);
    cairo_push_group(cr);
    paintGem(
        cr, [&] { wildPath(cr, step, cx, cy, u); }, [] {}, hsv(hue, 0.55, 1.0), cx, cy, u);
    // Rainbow light across the sparkle (the clip keeps it on the opaque body, which also lets vector
    // surfaces draw it without a raster fallback), then a white heart.
    cairo_save(cr);
    wildPath(cr, step, cx, cy, u);
    cairo_clip(cr);
    cairo_pattern_t* rainbow = cairo_pattern_create_linear(cx - u, cy - u, cx + u, cy + u);
    for (int i = 0; i <= 6; ++i)
        addStop(rainbow, i / 6.0, hsv(hue + i * 60, 0.8, 1.0), 0.45);
    cairo_set_source(cr, rainbow);
    cairo_paint(cr);
    cairo_pattern_destroy(rainbow);
    cairo_restore(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);
    radialGlow(cr, cx, cy, 0.42 * u, Rgb{1, 1, 1}, 0.95);
    // Two glints circling the sparkle.
    for (int i = 0; i < 2; ++i) {
        const double a = (step * 45.0 + i * 180.0 + 20) * M_PI / 180.0;
        const double gx = cx + 0.62 * u * std::cos(a), gy = cy + 0.62 * u * std::sin(a);
        radialGlow(cr, gx, gy, 0.16 * u, Rgb{1, 1, 1}, 0.9);
    }
}

cairo_surface_t* drawShapeTable() {
    const int cell = layout::kCell;
    const int count = layout::kKinds * layout::kVariants + layout::kWildFrames;
    return drawGrid(layout::kShapeColumns, layout::kShapeRows, cell, cell, count, [&](cairo_t* cr, int i) {
        if (i >= wildFrame(0))
            paintWildcard(cr, i - wildFrame(0), cell / 2.0, cell / 2.0, kUnit);
        else
            paintShape(cr, i / layout::kVariants, i % layout::kVariants, cell / 2.0, cell / 2.0, kUnit);
    });
}

void paintBeltPlate(cairo_t* cr, double x, double y, double w, double h) {
    // A dark rail two pixels high above and below, so neighbouring rows read as separate belts. The plate
    // is opaque everywhere: the game keeps its colours and sets every pixel's alpha from the shape's.
    const double top = y + 2, bottom = y + h - 2;
    cairo_rectangle(cr, x, y, w, h);
    setColor(cr, hex(0x0b0718));
    cairo_fill(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, top, 0, bottom);
    addStop(g, 0, hex(0x5a4d92));
    addStop(g, 0.12, hex(0x40366f));
    addStop(g, 0.55, hex(0x2f2758));
    addStop(g, 1, hex(0x1f1940));
    cairo_rectangle(cr, x, top, w, bottom - top);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Treads along both edges, one every eight pixels so they run on unbroken from plate to plate.
    for (const double band : {top, bottom - 5}) {
        cairo_rectangle(cr, x, band, w, 5);
        setColor(cr, hex(0x16112e));
        cairo_fill(cr);
        for (double tx = x + 2; tx < x + w; tx += 8) {
            cairo_rectangle(cr, tx, band + 1, 4, 3);
            setColor(cr, hex(0x4b4178));
            cairo_fill(cr);
        }
    }
    // The seam between plates.
    cairo_rectangle(cr, x, top + 5, 1, bottom - top - 10);
    setColor(cr, hex(0x120d26), 0.9);
    cairo_fill(cr);
    cairo_rectangle(cr, x + 1, top + 5, 1, bottom - top - 10);
    setColor(cr, Rgb{1, 1, 1}, 0.12);
    cairo_fill(cr);
}

cairo_surface_t* drawSlotTable() {
    const int cell = layout::kCell;
    const int count = layout::kKinds * layout::kVariants + layout::kWildFrames;
    return drawGrid(layout::kShapeColumns, layout::kShapeRows, cell, cell, count, [&](cairo_t* cr, int i) {
        paintBeltPlate(cr, 0, 0, cell, cell);
        if (i >= wildFrame(0)) return;
        const int kind = i / layout::kVariants, variant = i % layout::kVariants;
        const double c = cell / 2.0;
        const auto outline = [&](cairo_t* t) { kindPath(t, kind, c, c, kUnit); };
        // The recess glows in the kind's colour around the hole the game cuts from the shape's outline.
        glow(cr, outline, 10, lighten(kindColour(kind), 0.1), 1.0);
        outline(cr);
        setColor(cr, kindColour(kind), 0.75);
        cairo_set_line_width(cr, 7);
        cairo_stroke(cr);
        outline(cr);
        setColor(cr, hex(0x0b0718), 0.95);
        cairo_set_line_width(cr, 3.5);
        cairo_stroke(cr);
        cairo_save(cr);
        cairo_translate(cr, 0.8, 1.2);
        outline(cr);
        setColor(cr, Rgb{1, 1, 1}, 0.35);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
        cairo_restore(cr);
        // Where the variant's holes are, the game leaves the plate standing: pegs the shape sits on.
        markPath(cr, kind, variant, c, c, kUnit);
        cairo_pattern_t* peg = cairo_pattern_create_linear(c - 10, c - 10, c + 10, c + 10);
        addStop(peg, 0, lighten(kindColour(kind), 0.5));
        addStop(peg, 1, darken(kindColour(kind), 0.2));
        cairo_set_source(cr, peg);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(peg);
        setColor(cr, hex(0x0b0718), 0.85);
        cairo_set_line_width(cr, 1.6);
        cairo_stroke(cr);
    });
}

} // namespace datagen
