// The instruction pages: shapes and holes, the two games, special pieces, power-ups and scoring.
#include "Fit.h"
#include "Pictures.h"
#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace datagen {

namespace {

constexpr int kPageW = 480, kPageH = 330;
const Rgb kHeading = darken(palette::violet, 0.25);
// The lowest baseline a page's text may reach: above the page number, or above the keys' line on the last
// page.
constexpr double kTextBottom = kPageH - 26, kTextBottomAboveKeys = kPageH - 42;
// Where the page being drawn stands: its text scale and line spacing (a long translation first gets its
// lines closer together, then is drawn smaller as a whole, so the page keeps one size of type) and the
// lowest baseline its text reached.
double g_scale = 1.0;
double g_lead = 1.0;
double g_bottom = 0;

double sized(double size) {
    return size * g_scale;
}

// A paragraph at the page's scale and spacing; notes how far down it went.
double pageParagraph(cairo_t* cr, const std::string& text, double x, double y, double width, double size,
                     double lineHeight) {
    const double lead = sized(lineHeight) * g_lead;
    const double next = paragraph(cr, text, x, y, width, sized(size), lead, palette::text);
    g_bottom = std::max(g_bottom, next - lead);
    return next;
}

// A slot as the game shows it: a belt plate with the shape's hole, the variant's pegs left standing.
void paintHole(cairo_t* cr, int kind, int variant, double x, double y, double size) {
    const double u = size * 35.0 / 80.0, cx = x + size / 2, cy = y + size / 2;
    paintBeltPlate(cr, x, y, size, size);
    kindPath(cr, kind, cx, cy, u);
    setColor(cr, kindColour(kind), 0.8);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    kindPath(cr, kind, cx, cy, u);
    markPath(cr, kind, variant, cx, cy, u);
    setColor(cr, hex(0x0b0718));
    cairo_fill(cr);
    cairo_restore(cr);
    markPath(cr, kind, variant, cx, cy, u);
    setColor(cr, lighten(kindColour(kind), 0.3));
    cairo_fill(cr);
}

void arrow(cairo_t* cr, double x0, double y0, double x1, double y1, double bend, Rgb c) {
    const double mx = (x0 + x1) / 2 + bend, my = (y0 + y1) / 2;
    cairo_move_to(cr, x0, y0);
    cairo_curve_to(cr, mx, my, mx, my, x1, y1);
    setColor(cr, c);
    cairo_set_line_width(cr, 3.5);
    static const double dashes[] = {8, 5};
    cairo_set_dash(cr, dashes, 2, 0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    const double a = std::atan2(y1 - my, x1 - mx);
    cairo_move_to(cr, x1 + 4 * std::cos(a), y1 + 4 * std::sin(a));
    cairo_line_to(cr, x1 - 12 * std::cos(a - 0.5), y1 - 12 * std::sin(a - 0.5));
    cairo_line_to(cr, x1 - 12 * std::cos(a + 0.5), y1 - 12 * std::sin(a + 0.5));
    cairo_close_path(cr);
    cairo_fill(cr);
}

void heading(cairo_t* cr, int page, const std::string& text) {
    textAt(cr, text, kPageW / 2.0, 26, 22, true, kHeading, Align::Centre, 1.0, kPageW - 20);
    textAt(cr, formatNumbers(tr("Page %d of %d"), {page, kPages}), kPageW / 2.0, kPageH - 4, kSmallTextSize,
           false, darken(palette::violet, 0.05), Align::Centre, 1.0, kPageW - 20);
}

// An icon on the left and a short text beside it.
double item(cairo_t* cr, double y, const std::string& title, const std::string& text,
            const std::function<void(double, double)>& icon) {
    icon(34, y + 18);
    textAt(cr, title, 72, y + sized(12), sized(15), true, kHeading, Align::Left, 1.0, kPageW - 84);
    g_bottom = std::max(g_bottom, y + sized(12));
    // An item takes at least its icon's height, so the icons never touch.
    return std::max(pageParagraph(cr, text, 72, y + sized(31), kPageW - 84, 14, 18) - 8, y + 30);
}

void pageShapes(cairo_t* cr) {
    heading(cr, 1, tr("Shapes and Holes"));
    // A belt of three holes and a tray below; the star with a round hole goes where it fits.
    const double bx = 96, by = 40, s = 64;
    paintHole(cr, 5, 0, bx, by, s);
    paintHole(cr, 4, 1, bx + s, by, s);
    paintHole(cr, 8, 2, bx + 2 * s, by, s);
    paintHole(cr, 4, 0, bx + 3 * s, by, s);
    const double ty = 130;
    roundedRect(cr, bx, ty, 4 * s, 52, 8);
    setColor(cr, hex(0x154552));
    cairo_fill(cr);
    paintShape(cr, 8, 2, bx + 32, ty + 26, 20);
    paintShape(cr, 4, 1, bx + 96, ty + 26, 20);
    paintShape(cr, 0, 3, bx + 160, ty + 26, 20);
    paintShape(cr, 4, 3, bx + 224, ty + 26, 20);
    arrow(cr, bx + 100, ty + 6, bx + s * 1.5, by + s - 6, 50, palette::coral);
    const std::string& text = tr(
        "Rows of holes roll by on the belts. Click a shape in the tray, then click a hole of exactly the "
        "same "
        "shape, or drag the shape there and let go. The little cut-outs count too: a star with a round hole "
        "fits only the star hole with a round peg. A full row melts away; fill every hole to finish the "
        "level. No use for a shape? Throw it into the trash can, or press the space bar.");
    // Six lines start under the tray's gap; a longer text starts higher, up to just under the tray.
    const double kTextTop = 214, kHighestTop = ty + 52 + 18;
    useFont(cr, sized(14), false);
    const double lines = static_cast<double>(wrapText(cr, text, kPageW - 48).size());
    const double top = std::max(kHighestTop, kTextTop - std::max(0.0, lines - 6) * sized(18) * g_lead);
    pageParagraph(cr, text, 24, top, kPageW - 48, 14, 18);
}

void pageGames(cairo_t* cr) {
    heading(cr, 2, tr("Two Games"));
    double y =
        item(cr, 46, tr("Timed Game"),
             tr("Fill every hole of the level before the hourglass runs out. The time you have left pays a "
                "bonus."),
             [&](double x, double cy) {
                 cairo_arc(cr, x, cy, 18, 0, 2 * M_PI);
                 setColor(cr, palette::coral);
                 cairo_fill(cr);
                 hourglassSymbol(cr, x, cy, 9, Rgb{1, 1, 1});
             });
    y = item(
        cr, y + 12, tr("Bonus Rounds"),
        tr("Every fifth level of the timed game, the rows pass by just once, slowly. Fill them all before "
           "they are gone for a big bonus."),
        [&](double x, double cy) { paintWildcard(cr, 2, x, cy, 17); });
    item(cr, y + 12, tr("Rising Rows"),
         tr("A new row rises from below every round. Clear rows to make room: when a row is due and the "
            "belts are full, the game is over. The panel shows how many rows are still to come."),
         [&](double x, double cy) {
             cairo_arc(cr, x, cy, 18, 0, 2 * M_PI);
             setColor(cr, palette::teal);
             cairo_fill(cr);
             for (int k = 0; k < 3; ++k) {
                 roundedRect(cr, x - 11 + k * 8, cy + 6 - k * 7, 6, 6 + k * 7, 1.5);
                 setColor(cr, Rgb{1, 1, 1});
                 cairo_fill(cr);
             }
         });
}

void pageSpecials(cairo_t* cr) {
    heading(cr, 3, tr("Special Pieces"));
    double y = item(cr, 44, tr("Wildcard"), tr("Fits any empty hole at all."),
                    [&](double x, double cy) { paintWildcard(cr, 0, x, cy, 19); });
    y = item(
        cr, y + 8, tr("Morphing shape"),
        tr("Keeps changing its form while it waits in the tray. Pick it up to hold its form, and place it "
           "for a bonus."),
        [&](double x, double cy) {
            paintShape(cr, 1, 0, x - 8, cy - 6, 11);
            paintShape(cr, 4, 0, x + 8, cy + 7, 11);
        });
    y = item(cr, y + 8, tr("Decoy"),
             tr("From level 16 on, a few shapes fit no hole at all. Throw them into the trash can."),
             [&](double x, double cy) {
                 paintShape(cr, 2, 3, x, cy, 17);
                 cairo_move_to(cr, x - 14, cy - 14);
                 cairo_line_to(cr, x + 14, cy + 14);
                 cairo_move_to(cr, x + 14, cy - 14);
                 cairo_line_to(cr, x - 14, cy + 14);
                 setColor(cr, hex(0xd62246));
                 cairo_set_line_width(cr, 4);
                 cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                 cairo_stroke(cr);
             });
    item(cr, y + 8, tr("Sparkling marker"),
         tr("Every twentieth shape you place brings one: place the marked shape to win a power-up."),
         [&](double x, double cy) {
             paintShape(cr, 5, 0, x, cy, 18);
             cairo_surface_t* icons = drawSpecials();
             cairo_save(cr);
             cairo_translate(cr, x - 11, cy - 11);
             cairo_scale(cr, 0.5, 0.5);
             cairo_set_source_surface(cr, icons, -88, 0);
             cairo_rectangle(cr, 0, 0, 44, 44);
             cairo_clip(cr);
             cairo_paint_with_alpha(cr, 0.85);
             cairo_restore(cr);
             cairo_surface_destroy(icons);
         });
}

void pagePowerUps(cairo_t* cr) {
    heading(cr, 4, tr("Power-ups"));
    cairo_surface_t* icons = drawSpecials();
    const auto icon = [&](int i) {
        return [&, i](double x, double cy) {
            cairo_save(cr);
            cairo_rectangle(cr, x - 22, cy - 22, 44, 44);
            cairo_clip(cr);
            cairo_set_source_surface(cr, icons, x - 22 - 44 * i, cy - 22);
            cairo_paint(cr);
            cairo_restore(cr);
        };
    };
    double y = item(cr, 44, tr("Revealer"),
                    tr("For a while, every hole that fits the shape in your hand lights up."), icon(0));
    y = item(cr, y + 8, tr("Wildcards"),
             tr("The shapes in your tray turn into wildcards, one after another."), icon(1));
    y = item(cr, y + 8, tr("Extra time"), tr("Ten more units on the hourglass (once per level)."), icon(2));
    item(cr, y + 8, tr("Points"), tr("Ten thousand points, straight onto your score."), icon(3));
    cairo_surface_destroy(icons);
}

void pageScoring(cairo_t* cr) {
    heading(cr, 5, tr("Scoring"));
    double y = item(cr, 44, tr("Quick hands"),
                    tr("Every shape placed scores, and the sooner after the last one, the more."),
                    [&](double x, double cy) { paintShape(cr, 6, 0, x, cy, 17); });
    y = item(cr, y + 8, tr("Combos"),
             tr("Place the same shape twice in a row for a bonus, and keep going: each repeat doubles it."),
             [&](double x, double cy) {
                 paintShape(cr, 5, 1, x - 7, cy, 13);
                 paintShape(cr, 5, 1, x + 7, cy, 13);
             });
    y = item(cr, y + 8, tr("Rows"), tr("A cleared row pays more the lower it lay and the more time is left."),
             [&](double x, double cy) { paintHole(cr, 3, 0, x - 18, cy - 18, 36); });
    item(cr, y + 8, tr("Level bonus"), tr("At the end of a level, the time left pays out."),
         [&](double x, double cy) { paintShape(cr, 12, 0, x, cy, 18); });
    textAt(cr, tr("Keys: P pauses, the space bar throws a shape away."), kPageW / 2.0, kPageH - 24,
           kSmallTextSize, true, darken(palette::violet, 0.1), Align::Centre, 1.0, kPageW - 20);
}

} // namespace

cairo_surface_t* drawPage(int page) {
    // A page whose text runs past its foot is drawn again at a smaller scale, down to the smallest size
    // a text may shrink to; only the problems of the drawing that is kept count.
    const std::vector<FitProblem> before = takeFitProblems();
    const double limit = page == kPages ? kTextBottomAboveKeys : kTextBottom;
    cairo_surface_t* s = nullptr;
    std::vector<FitProblem> problems;
    // Closer lines first (down to 0.88 of the spacing), then smaller type.
    for (double step = 0;; step += 1) {
        g_lead = std::max(0.88, 1.0 - 0.04 * step);
        g_scale = std::max(kMinTextScale, 1.0 - 0.04 * std::max(0.0, step - 3));
        if (s != nullptr) cairo_surface_destroy(s);
        s = newPicture(kPageW, kPageH);
        cairo_t* cr = cairo_create(s);
        g_bottom = 0;
        switch (page) {
        case 1:
            pageShapes(cr);
            break;
        case 2:
            pageGames(cr);
            break;
        case 3:
            pageSpecials(cr);
            break;
        case 4:
            pagePowerUps(cr);
            break;
        default:
            pageScoring(cr);
            break;
        }
        cairo_destroy(cr);
        problems = takeFitProblems();
        // Smaller type only makes small type smaller: those reports stay, and decide nothing here.
        const bool fits =
            g_bottom <= limit && std::all_of(problems.begin(), problems.end(),
                                             [](const FitProblem& p) { return p.what == kTooSmall; });
        if (fits || g_scale <= kMinTextScale) break;
    }
    g_scale = 1.0;
    g_lead = 1.0;
    addFitProblems(before);
    addFitProblems(problems);
    if (g_bottom > limit) reportOverflow("too long", "page " + std::to_string(page), g_bottom, limit);
    return s;
}

} // namespace datagen
