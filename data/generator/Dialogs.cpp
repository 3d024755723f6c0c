// Dialog pictures: the shared panel, the start screen, options, the name prompt, the high-score table and
// the bonus round's cards, with the small parts they need.
#include "DialogLayout.h"
#include "Pictures.h"
#include "Shapes.h"

#include <cmath>

namespace datagen {

namespace {

// An inset box on a cream panel: the name field, the table, the level chooser's window.
void inset(cairo_t* cr, double x, double y, double w, double h, Rgb fill) {
    roundedRect(cr, x, y, w, h, 8);
    setColor(cr, fill);
    cairo_fill_preserve(cr);
    setColor(cr, darken(palette::violet, 0.3), 0.7);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_save(cr);
    roundedRect(cr, x, y, w, h, 8);
    cairo_clip(cr);
    cairo_pattern_t* lip = cairo_pattern_create_linear(0, y, 0, y + 7);
    addStop(lip, 0, Rgb{0, 0, 0}, 0.35);
    addStop(lip, 1, Rgb{0, 0, 0}, 0);
    cairo_rectangle(cr, x, y, w, 7);
    cairo_set_source(cr, lip);
    cairo_fill(cr);
    cairo_pattern_destroy(lip);
    cairo_restore(cr);
}

void speaker(cairo_t* cr, double x, double y, Rgb c) {
    cairo_move_to(cr, x, y - 4);
    cairo_line_to(cr, x + 5, y - 4);
    cairo_line_to(cr, x + 11, y - 10);
    cairo_line_to(cr, x + 11, y + 10);
    cairo_line_to(cr, x + 5, y + 4);
    cairo_line_to(cr, x, y + 4);
    cairo_close_path(cr);
    setColor(cr, c);
    cairo_fill(cr);
    for (int k = 1; k <= 2; ++k) {
        cairo_arc(cr, x + 11, y, 5.0 * k, -0.7, 0.7);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
}

void musicNote(cairo_t* cr, double x, double y, Rgb c) {
    setColor(cr, c);
    for (const double dx : {0.0, 14.0}) {
        cairo_save(cr);
        cairo_translate(cr, x + dx, y + 7);
        cairo_scale(cr, 1.3, 1.0);
        cairo_arc(cr, 0, 0, 4, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_fill(cr);
        cairo_rectangle(cr, x + dx + 3.5, y - 10, 2, 17);
        cairo_fill(cr);
    }
    cairo_move_to(cr, x + 3.5, y - 10);
    cairo_line_to(cr, x + 19.5, y - 13);
    cairo_line_to(cr, x + 19.5, y - 8);
    cairo_line_to(cr, x + 3.5, y - 5);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// A slider's groove: the knob's centre runs from x to x + 255.
void groove(cairo_t* cr, double x, double y) {
    roundedRect(cr, x - 6, y - 4, 255 + 12, 8, 4);
    setColor(cr, hex(0x2a1f45));
    cairo_fill(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(x, 0, x + 255, 0);
    addStop(g, 0, palette::teal, 0.25);
    addStop(g, 1, palette::teal, 0.9);
    roundedRect(cr, x - 4, y - 2, 255 + 8, 4, 2);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

void card(cairo_t* cr, double x, double y, double w, double h) {
    const auto shape = [&](cairo_t* c) { roundedRect(c, x, y, w, h, 14); };
    softShadow(cr, shape, 0, 4, 6, palette::ink, 0.6);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    addStop(g, 0, hex(0xfffaf2));
    addStop(g, 1, hex(0xeadcf3));
    shape(cr);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    setColor(cr, palette::gold);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
}

void gameCard(cairo_t* cr, double y, const std::string& heading, const std::string& text, bool timed) {
    using namespace dialog;
    card(cr, kStartCardX, y, kStartCardW, kStartCardH);
    // The card's emblem: an hourglass for the timed game, rising bars for the other.
    const double ex = kStartCardX + 34, ey = y + 34;
    cairo_arc(cr, ex, ey, 18, 0, 2 * M_PI);
    setColor(cr, timed ? palette::coral : palette::teal);
    cairo_fill(cr);
    if (timed) {
        cairo_move_to(cr, ex - 8, ey - 10);
        cairo_line_to(cr, ex + 8, ey - 10);
        cairo_line_to(cr, ex + 1.5, ey);
        cairo_line_to(cr, ex + 8, ey + 10);
        cairo_line_to(cr, ex - 8, ey + 10);
        cairo_line_to(cr, ex - 1.5, ey);
        cairo_close_path(cr);
        setColor(cr, Rgb{1, 1, 1});
        cairo_fill(cr);
    } else {
        for (int k = 0; k < 3; ++k) {
            roundedRect(cr, ex - 11 + k * 8, ey + 6 - k * 7, 6, 6 + k * 7, 1.5);
            setColor(cr, Rgb{1, 1, 1});
            cairo_fill(cr);
        }
    }
    // The heading runs from beside the emblem to the level chooser's label.
    textAt(cr, heading, kStartCardX + 62, y + 43, 26, true, darken(palette::violet, 0.25), Align::Left, 1.0,
           kChooserCentreX - kChooserLabelW / 2.0 - 8 - (kStartCardX + 62));
    paragraph(cr, text, kStartCardX + 22, y + 80, 268, 15, 20, palette::text, false, Align::Left,
              y + kStartCardH - 14);
    // The level chooser's window, label and frame.
    textAt(cr, tr("Start at level"), kChooserCentreX, y + kChooserLabelY, kSmallTextSize, true,
           darken(palette::violet, 0.1), Align::Centre, 1.0, kChooserLabelW);
    inset(cr, kChooserCentreX - 28, y + kChooserTop - 3, 56, 42, hex(0x2a1a4a));
}

} // namespace

void paintPanel(cairo_t* cr, double ox, double oy, double width, double height, const std::string& heading) {
    // The shadow must stay inside the picture: a container clips its children to its own rectangle.
    const double x = ox + 10, y = oy + 8, w = width - 20, h = height - 22, r = 18;
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
    cairo_pattern_t* band = cairo_pattern_create_linear(0, y, 0, y + dialog::kBand);
    addStop(band, 0, lighten(palette::violet, 0.2));
    addStop(band, 1, darken(palette::violet, 0.2));
    cairo_rectangle(cr, x, y, w, dialog::kBand);
    cairo_set_source(cr, band);
    cairo_fill(cr);
    cairo_pattern_destroy(band);
    cairo_rectangle(cr, x, y + dialog::kBand, w, 2.5);
    setColor(cr, palette::gold);
    cairo_fill(cr);
    cairo_restore(cr);
    shape(cr);
    setColor(cr, palette::gold);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    roundedRect(cr, x + 4, y + 4, w - 8, h - 8, r - 3);
    setColor(cr, darken(palette::violet, 0.4), 0.35);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    if (!heading.empty()) {
        fancyText(cr, heading, ox + width / 2.0, y + dialog::kBand / 2.0 + 9, 26, hex(0xfffbea),
                  palette::gold, darken(palette::violet, 0.5), 3, w - 32);
    }
}

cairo_surface_t* drawPanel(int width, int height, const std::string& heading, const std::string& body,
                           double bodyBottom) {
    cairo_surface_t* s = newPicture(width, height);
    cairo_t* cr = cairo_create(s);
    paintPanel(cr, 0, 0, width, height, heading);
    if (!body.empty())
        paragraph(cr, body, 40, 8 + dialog::kBand + 40, width - 80, 17, 24, palette::text, false,
                  Align::Centre, bodyBottom);
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawStartPanel() {
    using namespace dialog;
    cairo_surface_t* s = newPicture(kStartW, kStartH);
    cairo_t* cr = cairo_create(s);
    // The machine's own outline and trim, so the dialog's rim lies exactly on the machine's behind it.
    cairo_save(cr);
    roundedRect(cr, 0, 0, kStartW, kStartH, layout::kMachineRadius);
    cairo_clip(cr);
    paintBackdrop(cr, kStartW, kStartH);
    cairo_restore(cr);
    goldTrim(cr, 0, 0, kStartW, kStartH, layout::kMachineRadius);
    cairo_surface_t* title = drawTitle(kStartContentW, 130, 76);
    cairo_set_source_surface(cr, title, 0, 4);
    cairo_paint(cr);
    cairo_surface_destroy(title);
    // A row of gems under the name, one of each of a few kinds.
    const int kinds[] = {4, 0, 5, 2, 10, 3, 7};
    for (int i = 0; i < 7; ++i)
        paintShape(cr, kinds[i], i % 4, kStartContentW / 2.0 + (i - 3) * 44, 146, 15);
    textAt(cr, tr("Fit every shape into its hole!"), kStartContentW / 2.0, 186, 17, true, palette::cream,
           Align::Centre, 1.0, kStartCardW);
    gameCard(cr, kStartCard1Y, tr("Timed Game"),
             tr("Fill every hole before the sand runs out. Every fifth level is a bonus round!"), true);
    gameCard(cr, kStartCard2Y, tr("Rising Rows"),
             tr("A new row rises every round. Clear rows to keep room on the belts!"), false);
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawOptionsPanel() {
    using namespace dialog;
    cairo_surface_t* s = newPicture(kOptW, kOptH);
    cairo_t* cr = cairo_create(s);
    paintPanel(cr, 0, 0, kOptW, kOptH, tr("Options"));
    const double knobHalf = kKnobW / 2.0;
    // The labels stand over their grooves, which end where the speaker and the note begin.
    const double labelWidth = 255 + kKnobW;
    textAt(cr, tr("Sound effects"), kFxMinX, kFxY - 8, 16, true, palette::text, Align::Left, 1.0, labelWidth);
    groove(cr, kFxMinX + knobHalf, kFxY + kKnobH / 2.0);
    speaker(cr, kFxMinX + 255 + kKnobW + 12, kFxY + kKnobH / 2.0, palette::violet);
    textAt(cr, tr("Music"), kMusicMinX, kMusicY - 8, 16, true, palette::text, Align::Left, 1.0, labelWidth);
    groove(cr, kMusicMinX + knobHalf, kMusicY + kKnobH / 2.0);
    musicNote(cr, kMusicMinX + 255 + kKnobW + 14, kMusicY + kKnobH / 2.0, palette::violet);
    // The language button's label, beside the button, which shows the language's own name.
    textAt(cr, tr("Language"), kFxMinX, kLanguageY + kLanguageH / 2.0 + 2, 16, true, palette::text,
           Align::Left, 1.0, kLanguageX - 8 - kFxMinX);
    inset(cr, kCheckX, kCheckY, kCheckSize, kCheckSize, Rgb{1, 1, 1});
    // The label runs up to the Done button.
    textAt(cr, tr("Full screen"), kCheckX + kCheckSize + 12, kCheckY + kCheckSize / 2.0 + 6, 17, true,
           palette::text, Align::Left, 1.0, kDoneX - 8 - (kCheckX + kCheckSize + 12));
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawLanguageNote() {
    using namespace dialog;
    cairo_surface_t* s = newPicture(kNoteW, kNoteH);
    cairo_t* cr = cairo_create(s);
    // TRANSLATORS: under the language button once another language is picked; in that language.
    textAt(cr, tr("Takes effect the next time you start the game."), kNoteW / 2.0, kNoteH - 7, 14, false,
           darken(palette::violet, 0.1), Align::Centre, 1.0, kNoteW - 8);
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawPromptPanel() {
    using namespace dialog;
    cairo_surface_t* s = newPicture(kPromptW, kPromptH);
    cairo_t* cr = cairo_create(s);
    paintPanel(cr, 0, 0, kPromptW, kPromptH, tr("New High Score!"));
    textAt(cr, tr("Well played! Please type your name:"), kPromptW / 2.0, 96, 16, false, palette::text,
           Align::Centre, 1.0, kPromptW - 40);
    inset(cr, kNameBoxX, kNameBoxY, kNameBoxW, kNameBoxH, Rgb{1, 1, 1});
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawScoresPanel() {
    using namespace dialog;
    cairo_surface_t* s = newPicture(kScoresW, kScoresH);
    cairo_t* cr = cairo_create(s);
    paintPanel(cr, 0, 0, kScoresW, kScoresH, "");
    inset(cr, kTableX, kTableY, kTableW, kTableH, hex(0x2a1a4a));
    const double header = kTableY - 6;
    // Each column's heading keeps to its column: names up to the levels, levels up to the scores.
    const Rgb ink = darken(palette::violet, 0.2);
    textAt(cr, tr("Name"), kNameX + 6, header, kSmallTextSize, true, ink, Align::Centre, 1.0,
           2 * (kNameX + 6 - kTableX));
    textAt(cr, tr("Level"), kLevelX, header, kSmallTextSize, true, ink, Align::Centre, 1.0,
           kScoreX - kLevelX - 12);
    textAt(cr, tr("Score"), kScoreX, header, kSmallTextSize, true, ink, Align::Centre, 1.0,
           2 * (kTableX + kTableW - kScoreX));
    // Faint stripes behind every other row.
    for (int r = 0; r < 10; r += 2) {
        cairo_rectangle(cr, kTableX + 4, kRowsTop - 15 + r * 16, kTableW - 8, 16);
        setColor(cr, Rgb{1, 1, 1}, 0.05);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawKnob() {
    using namespace dialog;
    cairo_surface_t* s = newPicture(kKnobW, kKnobH);
    cairo_t* cr = cairo_create(s);
    const auto shape = [&](cairo_t* c) { roundedRect(c, 3, 2, kKnobW - 6, kKnobH - 6, 6); };
    softShadow(cr, shape, 0, 2, 2, palette::ink, 0.7);
    cairo_pattern_t* g = cairo_pattern_create_linear(3, 0, kKnobW - 3, 0);
    addStop(g, 0, hex(0xffe7a3));
    addStop(g, 0.5, palette::brass);
    addStop(g, 1, hex(0x8a5f17));
    shape(cr);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    setColor(cr, hex(0x4a300a));
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    for (int k = -1; k <= 1; ++k) {
        cairo_rectangle(cr, kKnobW / 2.0 - 5, kKnobH / 2.0 - 2 + k * 5, 10, 1.5);
        setColor(cr, hex(0x4a300a), 0.7);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawCheckMark() {
    using namespace dialog;
    cairo_surface_t* s = newPicture(kCheckSize, kCheckSize);
    cairo_t* cr = cairo_create(s);
    const double n = kCheckSize;
    cairo_move_to(cr, n * 0.2, n * 0.52);
    cairo_line_to(cr, n * 0.42, n * 0.74);
    cairo_line_to(cr, n * 0.84, n * 0.22);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    setColor(cr, hex(0x1d8a52));
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawScoresModes() {
    using namespace dialog;
    return drawGrid(2, 1, kModeTitleW, kModeTitleH, 2, [&](cairo_t* cr, int i) {
        textAt(cr, i == 0 ? tr("Rising Rows") : tr("Timed Game"), kModeTitleW / 2.0, kModeTitleH - 8, 20,
               true, darken(palette::violet, 0.2), Align::Centre);
    });
}

cairo_surface_t* drawViewTitle(const std::string& text) {
    using namespace dialog;
    cairo_surface_t* s = newPicture(kViewTitleW, kViewTitleH);
    cairo_t* cr = cairo_create(s);
    fancyText(cr, text, kViewTitleW / 2.0, kViewTitleH / 2.0 + 9, 26, hex(0xfffbea), palette::gold,
              darken(palette::violet, 0.5), 3, kViewTitleW - 16);
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* drawBonusCard(const std::string& heading, const std::string& body, bool withNumber) {
    using namespace dialog;
    cairo_surface_t* s = newPicture(kBonusW, kBonusH);
    cairo_t* cr = cairo_create(s);
    paintPanel(cr, 0, 0, kBonusW, kBonusH, heading);
    // A card with the bonus's number leaves room for it; the others run to the panel's foot.
    paragraph(cr, body, 30, 8 + kBand + 34, kBonusW - 60, 17, 23, palette::text, false, Align::Centre,
              withNumber ? kBonusNumberY - 15 : kBonusH - 34);
    if (withNumber) inset(cr, kBonusW / 2.0 - 100, kBonusNumberY - 5, 200, 44, hex(0x2a1a4a));
    cairo_destroy(cr);
    return s;
}

} // namespace datagen
