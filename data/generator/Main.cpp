// morphella-datagen: draws the game's pictures, synthesises its sounds and prepares its texts and scripts.
#include "Catalog.h"
#include "DialogLayout.h"
#include "Fit.h"
#include "Pictures.h"
#include "Shapes.h"
#include "Sounds.h"

#include <cairo-svg.h>

#include <cmath>
#include <cstdio>
#include <exception>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace datagen;

namespace {

// Every generated file, by name. Adding a picture or a sound is one line here, one output in
// data/CMakeLists.txt and, when the program needs it, one item in the container's list there.
struct Picture {
    const char* file;
    std::function<cairo_surface_t*()> draw;
    // Its words are never seen, as another picture always covers them; a translation leaves it out.
    bool wordsHidden = false;
};

const Rgb kPrimary = palette::coral;
const Rgb kSecondary = palette::teal;
const Rgb kNeutral = palette::violet;

// label is marked with N_ where the table names it and translated when the picture is drawn.
Picture button(const char* file, const char* label, Rgb base, int w, int h, double textSize = 0) {
    return {file, [=] { return drawButton(tr(label), base, w, h, textSize); }};
}

// The name of the language the texts are in, in that language: the options dialog shows it.
const std::string& languageName() {
    // TRANSLATORS: the name of your language in your language ("Deutsch", "Français"), shown in the options.
    return trc("language name", "English");
}

const std::vector<Picture>& pictures() {
    using namespace dialog;
    static const std::vector<Picture> list = {
        // The program's own pictures.
        {"logo.png", drawLogo},
        {"icon.png", [] { return drawIcon(32); }},
        {"cursor.png", drawCursor},
        // The board and the side panel.
        // Outside the board's and the tray's windows the frame lies under boardmask, which has the same
        // side panel: only boardmask's labels are seen.
        {"frame.png", [] { return drawFrame(false); }, true},
        {"boardmask.png", [] { return drawFrame(true); }},
        {"ilevelbg1.png", [] { return drawLevelBackground(1); }},
        {"ilevelbg2.png", [] { return drawLevelBackground(2); }},
        {"ilevelbg3.png", [] { return drawLevelBackground(3); }},
        {"ilevelbg4.png", [] { return drawLevelBackground(4); }},
        {"ilevelbg5.png", [] { return drawLevelBackground(5); }},
        {"ilevelbg6.png", [] { return drawLevelBackground(6); }},
        {"shapes.png", drawShapeTable},
        {"slotbg.png", drawSlotTable},
        {"modes.png", drawModes},
        {"rowstxt.png", drawRowsLabel},
        {"revealerbar.png", drawRevealerBar},
        {"digits.png", [] { return drawDigits(DigitStyle::Gold, 24, 34); }},
        {"popdigits.png", [] { return drawDigits(DigitStyle::Pop, 20, 28); }},
        {"hourglass.png", drawHourglass},
        {"sandtop.png", drawSandTop},
        {"sandbottom.png", drawSandBottom},
        {"trash.png", drawTrash},
        {"trasharea.png", [] { return drawClear(248, 86); }},
        // TRANSLATORS: the side panel's buttons: pause the game, play on after a pause, start the next level.
        button("btnpause.png", N_("Pause"), kNeutral, 120, 40),
        button("btnresume.png", N_("Resume"), kSecondary, 120, 40),
        button("btncontinue.png", N_("Continue"), kPrimary, 248, 46),
        button("btnmenu.png", N_("Menu"), kNeutral, 120, 40),
        // TRANSLATORS: asks whether to leave the game.
        button("btnexit.png", N_("Exit"), kNeutral, 120, 40),
        {"specials.png", drawSpecials},
        // TRANSLATORS: a ribbon over the board when a special prize (revealer, wildcards, extra time,
        // points) is won.
        {"powerup.png", [] { return drawBanner(tr("Power-up!"), hex(0x1fa5d6), 220, 70, 28); }},
        {"bonustext.png", [] { return drawBanner(tr("Bonus!"), palette::coral, 150, 56, 22); }},
        {"levelcomplete.png",
         [] { return drawBanner(tr("Level Complete!"), palette::violet, 480, 110, 40); }},
        {"gameover.png", [] { return drawBanner(tr("Game Over"), palette::coral, 460, 130, 60); }},
        {"paused.png", drawPausedCard},
        {"curtain.png", drawCurtain},
        {"curtainrail.png", drawCurtainRail},
        // The start screen.
        {"startpanel.png", drawStartPanel},
        button("btnplay.png", N_("Play"), kPrimary, 140, 52),
        {"arrowup.png", [] { return drawArrowButton(true, kNeutral, 40); }},
        {"arrowdown.png", [] { return drawArrowButton(false, kNeutral, 40); }},
        button("btnlink.png", N_("Visit our web site"), kSecondary, 180, 34, 14),
        // The menu, the exit question and the instructions.
        {"menupanel.png", [] { return drawPanel(360, 440, tr("Menu"), ""); }},
        button("btnhowto.png", N_("How to Play"), kNeutral, 260, 46),
        button("btnoptions.png", N_("Options"), kNeutral, 260, 46),
        button("btnmyscores.png", N_("My High Scores"), kNeutral, 260, 46),
        button("btnworldscores.png", N_("World High Scores"), kNeutral, 260, 46),
        button("btnendgame.png", N_("End Game"), kPrimary, 260, 46),
        button("btnclose.png", N_("Close"), kSecondary, 130, 46),
        {"exitpanel.png",
         [] {
             return drawPanel(420, 250, tr("Leave Morphella?"), tr("Do you really want to quit the game?"),
                              170);
         }},
        button("btnquit.png", N_("Quit"), kPrimary, 120, 46),
        // TRANSLATORS: the leave question's buttons: quit, open the menu, or play on.
        button("btnmainmenu.png", N_("Menu"), kNeutral, 120, 46),
        button("btncancel.png", N_("Cancel"), kSecondary, 120, 46),
        {"instpanel.png", [] { return drawPanel(520, 480, tr("How to Play"), ""); }},
        {"page1.png", [] { return drawPage(1); }},
        {"page2.png", [] { return drawPage(2); }},
        {"page3.png", [] { return drawPage(3); }},
        {"page4.png", [] { return drawPage(4); }},
        {"page5.png", [] { return drawPage(5); }},
        button("btnnext.png", N_("Next"), kPrimary, 130, 46),
        button("btnback.png", N_("Back"), kNeutral, 130, 46),
        // Options, the name prompt and the offer to send the score.
        {"optpanel.png", drawOptionsPanel},
        {"knob.png", drawKnob},
        {"checkmark.png", drawCheckMark},
        // The language button shows the name of the language its container speaks.
        {"btnlanguage.png",
         [] { return drawButton(languageName(), kNeutral, dialog::kLanguageW, dialog::kLanguageH); }},
        {"langnote.png", drawLanguageNote},
        button("btndone.png", N_("Done"), kSecondary, 120, 46),
        {"promptpanel.png", drawPromptPanel},
        button("btnok.png", N_("OK"), kPrimary, 120, 46),
        {"askpanel.png",
         [] {
             return drawPanel(420, 250, tr("Share Your Score?"),
                              tr("Send your score to the world high-score table?"), 170);
         }},
        button("btnsend.png", N_("Send"), kPrimary, 150, 46),
        button("btnnothanks.png", N_("No, thanks"), kNeutral, 150, 46),
        // The high-score table.
        {"hspanel.png", drawScoresPanel},
        {"hsmodes.png", drawScoresModes},
        {"hspersonal.png", [] { return drawViewTitle(tr("My High Scores")); }},
        {"hsglobal.png", [] { return drawViewTitle(tr("World High Scores")); }},
        // TRANSLATORS: the high-score table's tabs: my own scores, and the world's.
        {"tabmine.png", [] { return drawTab(tr("Mine"), 120, 34); }},
        {"tabworld.png", [] { return drawTab(tr("World"), 120, 34); }},
        // TRANSLATORS: switches the table between the timed game's and the rising-rows game's scores.
        button("btnswitch.png", N_("Other Game"), kNeutral, 150, 40),
        {"scrollup.png", [] { return drawArrowButton(true, kSecondary, 32); }},
        {"scrolldown.png", [] { return drawArrowButton(false, kSecondary, 32); }},
        button("btnretry.png", N_("Retry"), kPrimary, 120, 42),
        // TRANSLATORS: empties the table of scores (a question follows: clear, or keep them).
        button("btnclear.png", N_("Clear"), kNeutral, 130, 46),
        {"clearpanel.png",
         [] {
             return drawPanel(320, 200, tr("Clear Scores?"), tr("Remove every score\nin this table?"), 130);
         }},
        button("btnyesclear.png", N_("Clear"), kPrimary, 120, 46),
        button("btnkeep.png", N_("Keep"), kSecondary, 120, 46),
        // The bonus round's cards.
        {"bonusintro.png",
         [] {
             return drawBonusCard(tr("Bonus Round!"), tr("The rows pass by only once.\nFill every hole!"),
                                  false);
         }},
        {"bonuscongrats.png",
         [] { return drawBonusCard(tr("Well Done!"), tr("Every hole filled. Your bonus:"), true); }},
        {"bonussorry.png",
         [] {
             return drawBonusCard(tr("Bonus Round Over"),
                                  tr("The rows got away this time.\nOn to the next level!"), false);
         }},
    };
    return list;
}

// The text items, each stored with a terminating zero byte, in Latin-1 (the game's text is 8-bit). Adding
// one is a line here and its name in `texts` in data/CMakeLists.txt; a text marked with N_ is translated.
struct TextItem {
    const char* item;
    const char* english;
    bool translated;
};

const std::vector<TextItem>& textItems() {
    static const std::vector<TextItem> list = {
        // The window's title is the game's name in every language.
        {"IDS_GAMETITLE", "Morphella", false},
        // The high-score dialog's console.
        {"getglob", N_("Fetching the world high scores..."), true},
        {"globsubmit", N_("Sending your score to the world high-score table..."), true},
        {"hserror", N_("The high-score server did not answer. Please try again later with Retry."), true},
        {"notconnect",
         N_("No connection to the high-score server. Check your Internet connection and that a server is set "
            "up."),
         true},
        {"hsrefused", N_("The high-score server refused this entry."), true},
        // TRANSLATORS: the README is in English; keep its section's title as it is.
        {"noserver",
         N_("World scores are not set up on this computer. The game's README tells how, in its section "
            "\"The global high-score service\"."),
         true},
        // TRANSLATORS: under the name field when a letter past the seventh is typed; the game's names
        // are seven letters at most.
        {"namelimit", N_("7 letters at most"), true},
        // TRANSLATORS: the legend under the world table, after a drawn check mark: the score service
        // played the game's recording again and it came to the same score.
        {"hslegend", N_("replay checked by the server"), true},
        // The console's messages about watching a recorded game of a table.
        {"replayget", N_("Fetching the recorded game..."), true},
        {"replayfailed",
         N_("The recorded game could not be fetched from the high-score server. Please try again later."),
         true},
        {"replaybad", N_("This recorded game is damaged and cannot be shown."), true},
        {"replayother",
         N_("This recorded game was made with another version of the game or other game data, so it cannot "
            "be shown."),
         true},
        {"replaygone", N_("The recording of this game is no longer on this computer."), true},
        {"replaybusy", N_("Another recorded game is being shown."), true},
        // TRANSLATORS: the replay viewer's banner: its title, then its keys.
        {"replaytitle", N_("Replay"), true},
        {"replaykeys", N_("Space: pause    Right arrow: faster    Esc: leave"), true},
        // TRANSLATORS: the replay viewer's card at the end of the recorded game; the final score follows
        // "Final score:" and the level "Level:" after a space, on one line.
        {"replayend", N_("End of the recorded game"), true},
        {"replayscore", N_("Final score:"), true},
        {"replaylevel", N_("Level:"), true},
        {"replaydone", N_("Press a key or click to go back."), true},
    };
    return list;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}

void writeText(const std::string& text, const std::string& out);

// Draws one picture and writes it; says whether its drawing used any words, and whether any of them were
// translated.
WordUse drawPicture(const Picture& p, const std::string& path) {
    setFitPicture(p.file);
    takeWordUse();
    cairo_surface_t* s = p.draw();
    const WordUse used = takeWordUse();
    if (!path.empty()) writePng(s, path);
    cairo_surface_destroy(s);
    return used;
}

void reportFit(const std::string& language, const std::vector<FitProblem>& problems) {
    for (const FitProblem& p : problems)
        std::fprintf(stderr, "morphella-datagen: %s %s: \"%s\" is %s (%.1f, room %.1f)\n", language.c_str(),
                     p.picture.c_str(), p.text.c_str(), p.what.c_str(), p.need, p.room);
}

// Pictures and sounds are made on two threads (they share nothing), so the run takes seconds. The English
// run also lists the pictures that carry words (worded.txt): only those are drawn again for a language.
int generateAll(const std::string& dir) {
    auto sounds = std::async(std::launch::async, [&] {
        for (const Effect& e : effects())
            writeWav(e.synth(), dir + "/" + e.item + ".wav");
        writeOgg(synthMusic(), dir + "/smusic.ogg");
    });
    std::string worded;
    for (const Picture& p : pictures()) {
        if (drawPicture(p, dir + "/" + p.file).texts > 0) worded += std::string(p.file) + "\n";
    }
    reportFit("en", takeFitProblems());
    for (const TextItem& t : textItems())
        writeText(toLatin1(t.english), dir + "/" + t.item);
    writeText(languageName(), dir + "/langname");
    writeFile(dir + "/worded.txt", worded);
    sounds.get();
    return 0;
}

std::set<std::string> readLines(const std::string& path) {
    std::istringstream in(readFile(path));
    std::set<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.insert(line);
    return lines;
}

// The language a PO file is for: its base name without ".po" ("de", "pt_BR").
std::string languageOf(const std::string& po) {
    const size_t slash = po.find_last_of('/');
    std::string name = slash == std::string::npos ? po : po.substr(slash + 1);
    if (name.size() > 3 && name.compare(name.size() - 3, 3, ".po") == 0) name.resize(name.size() - 3);
    return name;
}

// The items of a language's overlay container: the pictures whose words the language changes and its text
// items, written to dir with items.txt listing NAME=PATH for morphella-tool container create.
int generateLanguage(const std::string& po, const std::string& wordedList, const std::string& dir) {
    const Catalog catalog = Catalog::load(po);
    for (const auto& [key, text] : catalog.entries())
        toLatin1(text); // throws on a character beyond Latin-1
    const std::set<std::string> worded = readLines(wordedList);
    useCatalog(&catalog);
    std::string items;
    for (const Picture& p : pictures()) {
        if (worded.count(p.file) == 0 || p.wordsHidden) continue;
        const std::string path = dir + "/" + p.file;
        if (drawPicture(p, path).translated == 0) {
            std::remove(path.c_str());
            continue;
        }
        const std::string file = p.file;
        items += file.substr(0, file.rfind('.')) + "=" + path + "\n";
    }
    reportFit(languageOf(po), takeFitProblems());
    for (const TextItem& t : textItems()) {
        if (!t.translated) continue;
        const std::string& text = tr(t.english);
        if (text == t.english) continue;
        writeText(toLatin1(text), dir + "/" + t.item);
        items += std::string(t.item) + "=" + dir + "/" + t.item + "\n";
    }
    // An overlay always names its language; an untranslated name falls back to the language's code.
    const std::string& name = languageName();
    writeText(toLatin1(name == "English" ? languageOf(po) : name), dir + "/langname");
    items += "langname=" + dir + "/langname\n";
    useCatalog(nullptr);
    writeFile(dir + "/items.txt", items);
    return 0;
}

// Draws every picture with words in English and in each language and lists the words that do not fit their
// boxes; fails when there are any.
int fitCheck(const std::string& wordedList, const std::vector<std::string>& pos) {
    const std::set<std::string> worded = readLines(wordedList);
    size_t problems = 0;
    std::vector<std::string> languages = {""};
    languages.insert(languages.end(), pos.begin(), pos.end());
    for (const std::string& po : languages) {
        Catalog catalog;
        if (!po.empty()) catalog = Catalog::load(po);
        useCatalog(po.empty() ? nullptr : &catalog);
        for (const Picture& p : pictures())
            if (worded.count(p.file) != 0) drawPicture(p, "");
        const std::vector<FitProblem> found = takeFitProblems();
        reportFit(po.empty() ? "en" : languageOf(po), found);
        problems += found.size();
        useCatalog(nullptr);
    }
    std::printf("%zu texts do not fit in %zu languages\n", problems, languages.size());
    return problems == 0 ? 0 : 1;
}

// The data script's comments run to the next carriage return, so scripts are stored with CR LF line ends
// whatever line ends their source has.
int convertScript(const std::string& in, const std::string& out) {
    const std::string text = readFile(in);
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') continue;
        if (c == '\n') result += '\r';
        result += c;
    }
    writeFile(out, result);
    return 0;
}

// Text items are read back without their last byte, so they are stored with one terminating zero.
void writeText(const std::string& text, const std::string& out) {
    writeFile(out, text + std::string(1, '\0'));
}

// A sheet of every picture on a checkerboard, with its name, for looking at the whole set at once.
int contactSheet(const std::string& out, const std::vector<std::string>& inputs) {
    const int sheetWidth = 1280, pad = 16, label = 22;
    struct Entry {
        cairo_surface_t* s;
        std::string name;
        int x, y;
    };
    std::vector<Entry> entries;
    int x = pad, y = pad, rowHeight = 0;
    for (const std::string& path : inputs) {
        cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
        if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(s);
            throw std::runtime_error("cannot decode " + path);
        }
        const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
        if (x + w + pad > sheetWidth && x > pad) {
            x = pad;
            y += rowHeight + label + pad;
            rowHeight = 0;
        }
        entries.push_back({s, path.substr(path.find_last_of('/') + 1), x, y});
        x += std::max(w, 90) + pad;
        rowHeight = std::max(rowHeight, h);
    }
    const int sheetHeight = y + rowHeight + label + pad;
    cairo_surface_t* sheet = newPicture(sheetWidth, sheetHeight);
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.18, 0.18, 0.2);
    cairo_paint(cr);
    for (const Entry& e : entries) {
        const int w = cairo_image_surface_get_width(e.s), h = cairo_image_surface_get_height(e.s);
        for (int cy = 0; cy < h; cy += 8) {
            for (int cx = 0; cx < w; cx += 8) {
                const bool dark = ((cx / 8) + (cy / 8)) % 2 == 0;
                cairo_set_source_rgb(cr, dark ? 0.55 : 0.7, dark ? 0.55 : 0.7, dark ? 0.58 : 0.72);
                cairo_rectangle(cr, e.x + cx, e.y + cy, std::min(8, w - cx), std::min(8, h - cy));
                cairo_fill(cr);
            }
        }
        cairo_set_source_surface(cr, e.s, e.x, e.y);
        cairo_paint(cr);
        useFont(cr, 13, false);
        cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
        const std::string caption = e.name + " " + std::to_string(w) + "x" + std::to_string(h);
        cairo_move_to(cr, e.x, e.y + h + 16);
        cairo_show_text(cr, caption.c_str());
        cairo_surface_destroy(e.s);
    }
    cairo_destroy(cr);
    writePng(sheet, out);
    cairo_surface_destroy(sheet);
    return 0;
}

// The desktop's icon set: PNGs at the sizes icon themes look for, and a scalable SVG.
int desktopIcons(const std::string& dir) {
    for (const int size : {16, 32, 48, 64, 128, 256, 512}) {
        cairo_surface_t* s = drawIcon(size);
        writePng(s, dir + "/icon-" + std::to_string(size) + ".png");
        cairo_surface_destroy(s);
    }
    const std::string svg = dir + "/icon.svg";
    cairo_surface_t* s = cairo_svg_surface_create(svg.c_str(), 256, 256);
    cairo_t* cr = cairo_create(s);
    paintIcon(cr, 256);
    cairo_destroy(cr);
    cairo_surface_finish(s);
    const cairo_status_t status = cairo_surface_status(s);
    cairo_surface_destroy(s);
    if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot write " + svg);
    return 0;
}

int usage() {
    std::fprintf(stderr, "usage: morphella-datagen OUTDIR\n"
                         "       morphella-datagen --script IN OUT\n"
                         "       morphella-datagen --language PO WORDED OUTDIR\n"
                         "       morphella-datagen --fit-check WORDED [PO...]\n"
                         "       morphella-datagen --contact-sheet OUT PNG...\n"
                         "       morphella-datagen --icons OUTDIR\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 1 && args[0].rfind("--", 0) != 0) return generateAll(args[0]);
        if (args.size() == 3 && args[0] == "--script") return convertScript(args[1], args[2]);
        if (args.size() == 2 && args[0] == "--icons") return desktopIcons(args[1]);
        if (args.size() == 4 && args[0] == "--language") return generateLanguage(args[1], args[2], args[3]);
        if (args.size() >= 2 && args[0] == "--fit-check")
            return fitCheck(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
        if (args.size() >= 3 && args[0] == "--contact-sheet") {
            return contactSheet(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
        }
        return usage();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "morphella-datagen: %s\n", e.what());
        return 1;
    }
}
