// morphella-datagen: draws the game's pictures, synthesises its sounds and prepares its texts and scripts.
#include "Pictures.h"
#include "Sounds.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <fstream>
#include <functional>
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

const std::vector<Picture>& pictures() {
    static const std::vector<Picture> list = {
        {"background.png", drawBackground},
        {"title.png", drawTitle},
        {"banner.png", [] { return drawBanner("Drag, drop and morph!"); }},
        {"logo.png", drawLogo},
        {"tile.png", drawTile},
        {"plaque.png", [] { return drawPlaque("SCORE"); }},
        {"morph.png", [] { return drawMorphStrip(12, 112); }},
        {"dlgpanel.png",
         [] {
             return drawDialogPanel(380, 260, "Welcome!",
                                    "Fit every shape into its hole\nbefore the rows roll by.");
         }},
        {"bplay.png", [] { return drawButtonStrip("Play", palette::coral, 160, 56); }},
        {"bclose.png", [] { return drawButtonStrip("Close", palette::teal, 160, 56); }},
        {"digits.png", [] { return drawDigitStrip(30, 44); }},
        {"icon.png", [] { return drawIcon(32); }},
        {"cursor.png", drawCursor},
    };
    return list;
}

struct Sound {
    const char* file;
    std::function<Samples()> synth;
};

const std::vector<Sound>& sounds() {
    static const std::vector<Sound> list = {
        {"click.wav", synthClick},
        {"pop.wav", synthPop},
        {"chime.wav", synthChime},
        {"music.wav", synthMusic},
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

int generateAll(const std::string& dir) {
    for (const Picture& p : pictures()) {
        cairo_surface_t* s = p.draw();
        writePng(s, dir + "/" + p.file);
        cairo_surface_destroy(s);
    }
    for (const Sound& s : sounds())
        writeWav(s.synth(), dir + "/" + s.file);
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

int usage() {
    std::fprintf(stderr, "usage: morphella-datagen OUTDIR\n"
                         "       morphella-datagen --script IN OUT\n"
                         "       morphella-datagen --text TEXT OUT\n"
                         "       morphella-datagen --contact-sheet OUT PNG...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 1 && args[0].rfind("--", 0) != 0) return generateAll(args[0]);
        if (args.size() == 3 && args[0] == "--script") return convertScript(args[1], args[2]);
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
