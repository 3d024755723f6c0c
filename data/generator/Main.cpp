// morphella-datagen: draws the game's pictures, synthesises its sounds and prepares its texts and scripts.
#include "DialogLayout.h"
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
};

const Rgb kPrimary = palette::coral;
const Rgb kSecondary = palette::teal;
const Rgb kNeutral = palette::violet;

Picture button(const char* file, const char* label, Rgb base, int w, int h) {
    return {file, [=] { return drawButton(label, base, w, h); }};
}

const std::vector<Picture>& pictures() {
    using namespace dialog;
    static const std::vector<Picture> list = {
        // The program's own pictures.
        {"logo.png", drawLogo},
        {"icon.png", [] { return drawIcon(32); }},
        {"cursor.png", drawCursor},
        // The board and the side panel.
        {"frame.png", [] { return drawFrame(false); }},
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
        button("btnpause.png", "Pause", kNeutral, 120, 40),
        button("btnresume.png", "Resume", kSecondary, 120, 40),
        button("btncontinue.png", "Continue", kPrimary, 248, 46),
        button("btnmenu.png", "Menu", kNeutral, 120, 40),
        button("btnexit.png", "Exit", kNeutral, 120, 40),
        {"specials.png", drawSpecials},
        {"powerup.png", [] { return drawBanner("Power-up!", hex(0x1fa5d6), 220, 70, 28); }},
        {"bonustext.png", [] { return drawBanner("Bonus!", palette::coral, 150, 56, 22); }},
        {"levelcomplete.png", [] { return drawBanner("Level Complete!", palette::violet, 480, 110, 40); }},
        {"gameover.png", [] { return drawBanner("Game Over", palette::coral, 460, 130, 60); }},
        {"paused.png", drawPausedCard},
        {"curtain.png", drawCurtain},
        {"curtainrail.png", drawCurtainRail},
        // The start screen.
        {"startpanel.png", drawStartPanel},
        button("btnplay.png", "Play", kPrimary, 140, 52),
        {"arrowup.png", [] { return drawArrowButton(true, kNeutral, 40); }},
        {"arrowdown.png", [] { return drawArrowButton(false, kNeutral, 40); }},
        {"btnlink.png", [] { return drawButton("Visit our web site", kSecondary, 180, 34, 14); }},
        // The menu, the exit question and the instructions.
        {"menupanel.png", [] { return drawPanel(360, 440, "Menu", ""); }},
        button("btnhowto.png", "How to Play", kNeutral, 260, 46),
        button("btnoptions.png", "Options", kNeutral, 260, 46),
        button("btnmyscores.png", "My High Scores", kNeutral, 260, 46),
        button("btnworldscores.png", "World High Scores", kNeutral, 260, 46),
        button("btnendgame.png", "End Game", kPrimary, 260, 46),
        button("btnclose.png", "Close", kSecondary, 130, 46),
        {"exitpanel.png",
         [] { return drawPanel(420, 250, "Leave Morphella?", "Do you really want to quit the game?"); }},
        button("btnquit.png", "Quit", kPrimary, 120, 46),
        button("btnmainmenu.png", "Menu", kNeutral, 120, 46),
        button("btncancel.png", "Cancel", kSecondary, 120, 46),
        {"instpanel.png", [] { return drawPanel(520, 480, "How to Play", ""); }},
        {"page1.png", [] { return drawPage(1); }},
        {"page2.png", [] { return drawPage(2); }},
        {"page3.png", [] { return drawPage(3); }},
        {"page4.png", [] { return drawPage(4); }},
        {"page5.png", [] { return drawPage(5); }},
        button("btnnext.png", "Next", kPrimary, 130, 46),
        button("btnback.png", "Back", kNeutral, 130, 46),
        // Options, the name prompt and the offer to send the score.
        {"optpanel.png", drawOptionsPanel},
        {"knob.png", drawKnob},
        {"checkmark.png", drawCheckMark},
        button("btndone.png", "Done", kSecondary, 120, 46),
        {"promptpanel.png", drawPromptPanel},
        button("btnok.png", "OK", kPrimary, 120, 46),
        {"askpanel.png",
         [] {
             return drawPanel(420, 250, "Share Your Score?",
                              "Send your score to the world high-score table?");
         }},
        button("btnsend.png", "Send", kPrimary, 150, 46),
        button("btnnothanks.png", "No, thanks", kNeutral, 150, 46),
        // The high-score table.
        {"hspanel.png", drawScoresPanel},
        {"hsmodes.png", drawScoresModes},
        {"hspersonal.png", [] { return drawViewTitle("My High Scores"); }},
        {"hsglobal.png", [] { return drawViewTitle("World High Scores"); }},
        {"tabmine.png", [] { return drawTab("Mine", 120, 34); }},
        {"tabworld.png", [] { return drawTab("World", 120, 34); }},
        button("btnswitch.png", "Other Game", kNeutral, 150, 40),
        {"scrollup.png", [] { return drawArrowButton(true, kSecondary, 32); }},
        {"scrolldown.png", [] { return drawArrowButton(false, kSecondary, 32); }},
        button("btnretry.png", "Retry", kPrimary, 120, 42),
        button("btnclear.png", "Clear", kNeutral, 130, 46),
        {"clearpanel.png",
         [] { return drawPanel(320, 200, "Clear Scores?", "Remove every score\nin this table?"); }},
        button("btnyesclear.png", "Clear", kPrimary, 120, 46),
        button("btnkeep.png", "Keep", kSecondary, 120, 46),
        // The bonus round's cards.
        {"bonusintro.png",
         [] {
             return drawBonusCard("Bonus Round!", "The rows pass by only once.\nFill every hole!", false);
         }},
        {"bonuscongrats.png",
         [] { return drawBonusCard("Well Done!", "Every hole filled. Your bonus:", true); }},
        {"bonussorry.png",
         [] {
             return drawBonusCard("Bonus Round Over", "The rows got away this time.\nOn to the next level!",
                                  false);
         }},
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

// Pictures and sounds are made on two threads (they share nothing), so the run takes seconds.
int generateAll(const std::string& dir) {
    auto sounds = std::async(std::launch::async, [&] {
        for (const Effect& e : effects())
            writeWav(e.synth(), dir + "/" + e.item + ".wav");
        writeWav(synthMusic(), dir + "/smusic.wav");
    });
    for (const Picture& p : pictures()) {
        cairo_surface_t* s = p.draw();
        writePng(s, dir + "/" + p.file);
        cairo_surface_destroy(s);
    }
    sounds.get();
    return 0;
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
int writeText(const std::string& text, const std::string& out) {
    writeFile(out, text + std::string(1, '\0'));
    return 0;
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
                         "       morphella-datagen --text TEXT OUT\n"
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
        if (args.size() == 3 && args[0] == "--text") return writeText(args[1], args[2]);
        if (args.size() >= 3 && args[0] == "--contact-sheet") {
            return contactSheet(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
        }
        return usage();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "morphella-datagen: %s\n", e.what());
        return 1;
    }
}
