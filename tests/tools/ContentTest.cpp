// Checks the game's content in the built morphella.bin: the sprites the game binds to by name, the board's
// layout, the shape kinds (told apart by outline, variants by shade and holes), the sounds and the music,
// the instruction pages and the geometry the effects rely on.
#include "GameData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <string>
#include <vector>

using namespace datatest;

namespace {

class Content : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.open()) << data.path() << " was not built (target morphella-data)";
        ASSERT_TRUE(data.scripts().count("datafile"));
    }
    const SpriteDef& sprite(const std::string& script, const std::string& name) {
        const SpriteDef* d = GameData::find(data.script(script), name);
        EXPECT_NE(d, nullptr) << name << " is not in " << script;
        static const SpriteDef none;
        return d != nullptr ? *d : none;
    }
    GameData& data = GameData::instance();
};

// Whether class c is base or derives from it, in the toolkit's and the game's class chains.
bool isA(const std::string& c, const std::string& base) {
    static const std::map<std::string, std::string> parent = {
        {"AnimateSprite", "Sprite"},
        {"ButtonSprite", "AnimateSprite"},
        {"NumberSprite", "AnimateSprite"},
        {"RectButtonSprite", "ButtonSprite"},
        {"TextSprite", "Sprite"},
        {"RichTTYSprite", "Sprite"},
        {"FancyContainer", "Sprite"},
        {"DialogSprite", "FancyContainer"},
        {"SlotSprite", "Sprite"},
        {"ShapeSprite", "AnimateSprite"},
        {"MeltSprite", "Sprite"},
        {"SquishSprite", "AnimateSprite"},
        {"HourGlass", "AnimateSprite"},
        {"RectSprite", "Sprite"},
        {"HighScoreSprite", "DialogSprite"},
        {"OptionsSprite", "DialogSprite"},
        {"InstructDialog", "DialogSprite"},
    };
    for (std::string k = c; !k.empty();) {
        if (k == base) return true;
        const auto it = parent.find(k);
        k = it == parent.end() ? "" : it->second;
    }
    return false;
}

// Alpha mask (alpha above half) of one cell of a frame table.
std::vector<bool> mask(const Picture& p, int frame, int cw, int ch, int columns) {
    std::vector<bool> m(static_cast<size_t>(cw) * ch);
    const int ox = (frame % columns) * cw, oy = (frame / columns) * ch;
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x)
            m[static_cast<size_t>(y) * cw + x] = (p.at(ox + x, oy + y) >> 24) > 127;
    return m;
}

// Luminance of one pixel laid over mid grey, 0 to 255.
double greyOver(uint32_t argb) {
    const double a = (argb >> 24) / 255.0;
    const double l = 0.299 * ((argb >> 16) & 255) + 0.587 * ((argb >> 8) & 255) + 0.114 * (argb & 255);
    return l * a + 128 * (1 - a);
}

} // namespace

TEST_F(Content, EveryNamedSpriteHasAClassTheGameCanUse) {
    struct Need {
        const char *script, *name, *base;
    };
    static const Need needs[] = {
        {"datafile", "bg", "Sprite"},
        {"datafile", "levelbg", "AnimateSprite"},
        {"datafile", "modes", "AnimateSprite"},
        {"datafile", "rowstxt", "Sprite"},
        {"datafile", "slot", "SlotSprite"},
        {"datafile", "slotbg", "AnimateSprite"},
        {"datafile", "shape", "ShapeSprite"},
        {"datafile", "revealerbar", "Sprite"},
        {"datafile", "trash", "AnimateSprite"},
        {"datafile", "trashrect", "Sprite"},
        {"datafile", "trashshape2", "AnimateSprite"},
        {"datafile", "trashsquish", "SquishSprite"},
        {"datafile", "scoreNumbers", "NumberSprite"},
        {"datafile", "levelNumbers", "NumberSprite"},
        {"datafile", "timerNum", "NumberSprite"},
        {"datafile", "hourglass", "HourGlass"},
        {"datafile", "pauseButton", "ButtonSprite"},
        {"datafile", "resumeButton", "ButtonSprite"},
        {"datafile", "continueButton", "ButtonSprite"},
        {"datafile", "menuButton", "ButtonSprite"},
        {"datafile", "exitButton", "ButtonSprite"},
        {"datafile", "PowerUps", "AnimateSprite"},
        {"datafile", "bonusText", "AnimateSprite"},
        {"datafile", "bonusNumbers", "NumberSprite"},
        {"datafile", "bonusdlg", "DialogSprite"},
        {"datafile", "levelcomplete", "Sprite"},
        {"datafile", "paused", "Sprite"},
        {"datafile", "startdialog", "DialogSprite"},
        {"datafile", "curtain1", "Sprite"},
        {"datafile", "curtain2", "Sprite"},
        {"datafile", "gameover", "Sprite"},
        {"datafile", "menudlg", "DialogSprite"},
        {"datafile", "exitdlg", "DialogSprite"},
        {"datafile", "instdlg", "InstructDialog"},
        {"datafile", "optdlg", "OptionsSprite"},
        {"datafile", "hsprompt", "DialogSprite"},
        {"datafile", "globalask", "DialogSprite"},
        {"datafile", "hsdlg", "HighScoreSprite"},
        {"startdlg", "bstart1", "ButtonSprite"},
        {"startdlg", "bstart2", "ButtonSprite"},
        {"startdlg", "level1", "NumberSprite"},
        {"startdlg", "level2", "NumberSprite"},
        {"startdlg", "bup1", "ButtonSprite"},
        {"startdlg", "bdown1", "ButtonSprite"},
        {"startdlg", "bup2", "ButtonSprite"},
        {"startdlg", "bdown2", "ButtonSprite"},
        {"startdlg", "blink", "ButtonSprite"},
        {"menudlg", "binstruct", "ButtonSprite"},
        {"menudlg", "boptions", "ButtonSprite"},
        {"menudlg", "bpersonal", "ButtonSprite"},
        {"menudlg", "bglobal", "ButtonSprite"},
        {"menudlg", "bendgame", "ButtonSprite"},
        {"menudlg", "bclose", "ButtonSprite"},
        {"exitdlg", "bquit", "ButtonSprite"},
        {"exitdlg", "bmenu", "ButtonSprite"},
        {"exitdlg", "bclose", "ButtonSprite"},
        {"instdlg", "bnext", "ButtonSprite"},
        {"instdlg", "bback", "ButtonSprite"},
        {"instdlg", "bclose", "ButtonSprite"},
        {"instdlg", "version", "TextSprite"},
        {"optdlg", "butfxknob", "Sprite"},
        {"optdlg", "butmuknob", "Sprite"},
        {"optdlg", "bfullscreen", "Sprite"},
        {"optdlg", "bclose", "ButtonSprite"},
        {"hsprompt", "name", "TextSprite"},
        {"hsprompt", "bentername", "ButtonSprite"},
        {"globalask", "bsubmitglobal", "ButtonSprite"},
        {"globalask", "bgohighscore", "ButtonSprite"},
        {"hsdlg", "clear", "ButtonSprite"},
        {"hsdlg", "close", "ButtonSprite"},
        {"hsdlg", "prompt", "DialogSprite"},
        {"hsdlg", "mode", "AnimateSprite"},
        {"hsdlg", "bmode", "ButtonSprite"},
        {"hsdlg", "global", "Sprite"},
        {"hsdlg", "personal", "Sprite"},
        {"hsdlg", "bglobals", "ButtonSprite"},
        {"hsdlg", "bpersonal", "ButtonSprite"},
        {"hsdlg", "bsup", "ButtonSprite"},
        {"hsdlg", "bsdown", "ButtonSprite"},
        {"hsdlg", "bretry", "ButtonSprite"},
        {"hsdlg", "message", "RichTTYSprite"},
        {"hsclear", "bclear", "ButtonSprite"},
        {"hsclear", "bnoclear", "ButtonSprite"},
        {"bonusdlg", "intro", "Sprite"},
        {"bonusdlg", "congrats", "Sprite"},
        {"bonusdlg", "sorry", "Sprite"},
        {"bonusdlg", "bonus", "NumberSprite"},
    };
    for (const Need& n : needs) {
        ASSERT_TRUE(data.scripts().count(n.script)) << n.script;
        EXPECT_TRUE(isA(sprite(n.script, n.name).className, n.base))
            << n.script << ": " << n.name << " is " << sprite(n.script, n.name).className;
    }
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(sprite("datafile", "melter" + std::to_string(i)).className, "MeltSprite");
    for (int i = 0; i < 4; ++i) {
        const SpriteDef& icon = sprite("datafile", "special" + std::to_string(i));
        EXPECT_TRUE(isA(icon.className, "AnimateSprite"));
        EXPECT_EQ(icon.numbers.size() >= 4 ? icon.numbers[2] * icon.numbers[3] : 0, 4)
            << "four power-up frames";
    }
    // The game makes the dimming backdrop itself, just after the start dialog.
    EXPECT_EQ(GameData::find(data.script("datafile"), "blackness"), nullptr);
    // The dialog classes read their layout from their nested script's numbers.
    EXPECT_GE(data.script("hsdlg").data.size(), 4u);
    EXPECT_GE(data.script("optdlg").data.size(), 4u);
}

TEST_F(Content, LayoutFitsTheBoardGeometry) {
    const std::vector<int>& d = data.script("datafile").data;
    ASSERT_GE(d.size(), 9u);
    const int boardLeft = d[0], boardTop = d[1], boardWidth = d[2], boardHeight = d[3];
    const int trayLeft = d[4], trayTop = d[5], trayWidth = d[6], trayHeight = d[7];
    const SpriteDef& slot = sprite("datafile", "slot");
    ASSERT_GE(slot.numbers.size(), 4u) << "the slot's size comes from its width and height";
    const int slotPitch = slot.numbers[2], rowPitch = slot.numbers[3];
    const SpriteDef& shape = sprite("datafile", "shape");
    const Picture table = data.picture(data.script("datafile"), shape.images.at(0));
    ASSERT_EQ(shape.numbers.at(2), 15);
    EXPECT_EQ(table.width / 15, slotPitch) << "shape cells are slot-sized";
    EXPECT_EQ(table.height / shape.numbers.at(3), rowPitch);
    // A row of seven slots always reaches across the board, five rows fit, the tray holds six shapes.
    EXPECT_GT(7 * slotPitch, boardWidth + slotPitch);
    EXPECT_GE(boardHeight, 5 * rowPitch);
    EXPECT_GE(trayWidth, 6 * slotPitch);
    EXPECT_GE(trayHeight, rowPitch);
    // Everything on the 800 by 600 screen, the tray below the board, room for a side panel on the right.
    EXPECT_GE(boardLeft, 0);
    EXPECT_GE(boardTop, 0);
    EXPECT_LE(boardLeft + 6 * slotPitch, 800 - 200);
    EXPECT_GE(trayTop, boardTop + boardHeight);
    EXPECT_LE(trayTop + trayHeight, 600);
    EXPECT_LE(trayLeft + trayWidth, 800 - 200);
    // The level pictures cover the board where levelbg stands.
    const SpriteDef& levelbg = sprite("datafile", "levelbg");
    EXPECT_EQ(levelbg.numbers.at(0), boardLeft);
    EXPECT_EQ(levelbg.numbers.at(1), boardTop);
    for (int n = 1; n <= 6; ++n) {
        const Picture p = data.pictureItem("ilevelbg" + std::to_string(n));
        ASSERT_TRUE(p.ok) << n;
        EXPECT_GE(p.width, boardWidth);
        EXPECT_GE(p.height, boardHeight);
    }
}

TEST_F(Content, KindTableHasEnoughKindsAndAnAnimatedWildcardLast) {
    const std::vector<int>& d = data.script("datafile").data;
    ASSERT_GE(d.size(), 9u);
    const int kinds = d[8];
    ASSERT_GE(kinds, 14) << "at least thirteen ordinary kinds and the wildcard";
    ASSERT_GE(static_cast<int>(d.size()), 9 + kinds);
    for (int k = 0; k + 1 < kinds; ++k)
        EXPECT_GE(d[9 + k], 4) << "kind " << k << " needs four variants";
    EXPECT_GE(d[8 + kinds], 8) << "the wildcard animates over eight frames";
    const int frames = std::accumulate(d.begin() + 9, d.begin() + 9 + kinds, 0);
    const SpriteDef& shape = sprite("datafile", "shape");
    EXPECT_LE(frames, shape.numbers.at(2) * shape.numbers.at(3));
    // The slot backgrounds use the same grid.
    const SpriteDef& slotbg = sprite("datafile", "slotbg");
    EXPECT_EQ(slotbg.numbers.at(2), shape.numbers.at(2));
    EXPECT_EQ(slotbg.numbers.at(3), shape.numbers.at(3));
    const Picture plates = data.picture(data.script("datafile"), slotbg.images.at(0));
    EXPECT_EQ(plates.width, data.picture(data.script("datafile"), shape.images.at(0)).width);
    // The game replaces a plate's alpha with the hole's, so a transparent plate pixel would turn black.
    const int cw = plates.width / slotbg.numbers.at(2), ch = plates.height / slotbg.numbers.at(3);
    int seeThrough = 0;
    for (int f = 0; f < frames - d[8 + kinds]; ++f)
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x)
                seeThrough += (plates.at((f % 15) * cw + x, (f / 15) * ch + y) >> 24) != 255;
    EXPECT_EQ(seeThrough, 0);
}

TEST_F(Content, KindsDifferInOutlineAndVariantsInGrey) {
    const std::vector<int>& d = data.script("datafile").data;
    const int kinds = d.at(8);
    const Picture table = data.picture(data.script("datafile"), sprite("datafile", "shape").images.at(0));
    ASSERT_TRUE(table.ok);
    const int cw = table.width / 15, ch = table.height / sprite("datafile", "shape").numbers.at(3);
    std::vector<int> first(static_cast<size_t>(kinds) + 1, 0);
    for (int k = 0; k < kinds; ++k)
        first[static_cast<size_t>(k) + 1] = first[static_cast<size_t>(k)] + d.at(9 + static_cast<size_t>(k));
    // Outlines: no two kinds (the wildcard included) overlap by as much as 80% of their union, so a
    // player who cannot tell colours apart still tells every kind apart.
    std::vector<std::vector<bool>> masks;
    for (int k = 0; k < kinds; ++k)
        masks.push_back(mask(table, first[static_cast<size_t>(k)], cw, ch, 15));
    for (int a = 0; a < kinds; ++a) {
        for (int b = a + 1; b < kinds; ++b) {
            int both = 0, either = 0;
            for (size_t i = 0; i < masks[0].size(); ++i) {
                both += masks[a][i] && masks[b][i];
                either += masks[a][i] || masks[b][i];
            }
            ASSERT_GT(either, 0);
            EXPECT_LT(static_cast<double>(both) / either, 0.8)
                << "kinds " << a << " and " << b << " look alike";
        }
    }
    // Variants of a kind differ in grey, on a good number of pixels, not only in hue.
    for (int k = 0; k + 1 < kinds; ++k) {
        for (int v = first[k]; v < first[k + 1]; ++v) {
            for (int w = v + 1; w < first[k + 1]; ++w) {
                int differing = 0;
                for (int y = 0; y < ch; ++y) {
                    for (int x = 0; x < cw; ++x) {
                        const double a = greyOver(table.at((v % 15) * cw + x, (v / 15) * ch + y));
                        const double b = greyOver(table.at((w % 15) * cw + x, (w / 15) * ch + y));
                        differing += std::fabs(a - b) >= 48;
                    }
                }
                EXPECT_GE(differing, 40) << "frames " << v << " and " << w << " of kind " << k;
            }
        }
    }
}

TEST_F(Content, TwentyFourDistinctEffectsAndAMinuteOfSeamlessMusic) {
    const std::vector<std::string>& sounds = data.script("datafile").sounds;
    ASSERT_EQ(sounds.size(), 24u);
    std::vector<std::vector<int16_t>> effects;
    for (const std::string& s : sounds) {
        const Wave w = data.wave(s.substr(1));
        ASSERT_TRUE(w.ok) << s;
        const int peak = std::accumulate(w.samples.begin(), w.samples.end(), 0, [](int m, int16_t v) {
            return std::max(m, std::abs(static_cast<int>(v)));
        });
        EXPECT_GT(peak, 3000) << s << " is too quiet to hear";
        EXPECT_LT(w.seconds(), 3.0) << s;
        effects.push_back(w.samples);
    }
    // No two effects sound the same: their normalised correlation stays well below one.
    for (size_t a = 0; a < effects.size(); ++a) {
        for (size_t b = a + 1; b < effects.size(); ++b) {
            const size_t n = std::min(effects[a].size(), effects[b].size());
            double ab = 0, aa = 0, bb = 0;
            for (size_t i = 0; i < n; ++i) {
                ab += double(effects[a][i]) * effects[b][i];
                aa += double(effects[a][i]) * effects[a][i];
                bb += double(effects[b][i]) * effects[b][i];
            }
            EXPECT_LT(std::fabs(ab) / std::sqrt(aa * bb + 1), 0.9) << sounds[a] << " and " << sounds[b];
        }
    }
    const Wave music = data.vorbis("smusic");
    ASSERT_TRUE(music.ok) << "smusic is not a mono Ogg Vorbis stream at 22050 Hz";
    EXPECT_GE(music.seconds(), 60.0);
    // The loop's seam is no bigger a step than the music takes anywhere else.
    std::vector<int> steps;
    for (size_t i = 1; i < music.samples.size(); ++i)
        steps.push_back(std::abs(music.samples[i] - music.samples[i - 1]));
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 999 / 1000, steps.end());
    EXPECT_LE(std::abs(music.samples.front() - music.samples.back()), steps[steps.size() * 999 / 1000]);
}

TEST_F(Content, InstructionsHaveAtLeastFourPagesInsideTheDialog) {
    const Script& inst = data.script("instdlg");
    const SpriteDef& dialog = sprite("datafile", "instdlg");
    int pages = 0;
    while (GameData::find(inst, "pg" + std::to_string(pages + 1)) != nullptr)
        ++pages;
    EXPECT_GE(pages, 4);
    for (int i = 1; i <= pages; ++i) {
        const SpriteDef& pg = sprite("instdlg", "pg" + std::to_string(i));
        EXPECT_TRUE(isA(pg.className, "AnimateSprite"));
        const Picture p = data.picture(inst, pg.images.at(0));
        EXPECT_LE(pg.numbers.at(0) + p.width, dialog.numbers.at(2));
        EXPECT_LE(pg.numbers.at(1) + p.height, dialog.numbers.at(3));
    }
}

TEST_F(Content, DialogPicturesStayInsideTheirDialogsAndButtonsShowTheirStates) {
    // A dialog clips its children to its rectangle, so a picture reaching outside would be cut off.
    for (const SpriteDef& d : data.script("datafile").sprites) {
        if (d.nestedScript.empty()) continue;
        const Script& nested = data.script(d.nestedScript.substr(1));
        for (const SpriteDef& child : nested.sprites) {
            if (child.images.empty()) continue;
            const Picture p = data.picture(nested, child.images[0]);
            if (child.className == "NumberSprite") continue; // its width follows its value
            const bool grid = isA(child.className, "AnimateSprite") && child.numbers.size() >= 4;
            const int cw = grid ? p.width / child.numbers[2] : p.width;
            const int chh = grid ? p.height / child.numbers[3] : p.height;
            EXPECT_GE(child.numbers.at(0), 0) << d.name << "." << child.name;
            EXPECT_GE(child.numbers.at(1), 0) << d.name << "." << child.name;
            EXPECT_LE(child.numbers.at(0) + cw, d.numbers.at(2)) << d.name << "." << child.name;
            EXPECT_LE(child.numbers.at(1) + chh, d.numbers.at(3)) << d.name << "." << child.name;
        }
    }
    // Every button's normal, hover and disabled looks differ, so the player sees what the pointer does.
    for (const auto& [name, script] : data.scripts()) {
        for (const SpriteDef& b : script.sprites) {
            if (b.className != "ButtonSprite") continue;
            const Picture p = data.picture(script, b.images.at(0));
            const int cw = p.width / b.numbers.at(2);
            const auto cell = [&](int c) {
                std::vector<uint32_t> px;
                for (int y = 0; y < p.height; ++y)
                    for (int x = 0; x < cw; ++x)
                        px.push_back(p.at((c % b.numbers[2]) * cw + x, y));
                return px;
            };
            const int hover = b.numbers.at(4), normal = b.numbers.at(5), disabled = b.numbers.at(6);
            EXPECT_NE(cell(hover), cell(normal)) << name << "." << b.name;
            if (disabled != -1) {
                EXPECT_NE(cell(disabled), cell(normal)) << name << "." << b.name;
            }
        }
    }
}

TEST_F(Content, HourglassCurtainsAndTrashFitWhatTheGameDoesWithThem) {
    // The game draws the top sand at (36, 48) and the bottom sand from y 106 on the upright glass; the sand
    // must lie inside the glass's cell and over its glass.
    const Script& main = data.script("datafile");
    const SpriteDef& glass = sprite("datafile", "hourglass");
    ASSERT_EQ(glass.images.size(), 3u);
    const Picture cells = data.picture(main, glass.images[0]);
    const Picture top = data.picture(main, glass.images[1]), bottom = data.picture(main, glass.images[2]);
    const int gw = cells.width / glass.numbers.at(2), gh = cells.height / glass.numbers.at(3);
    EXPECT_GE(glass.numbers.at(2) * glass.numbers.at(3), 2) << "an upright frame and a turn";
    EXPECT_LE(36 + top.width, gw);
    EXPECT_LE(48 + top.height, 106);
    EXPECT_LE(34 + bottom.width, gw);
    EXPECT_LE(106 + bottom.height, gh);
    const auto underGlass = [&](const Picture& sand, int ox, int oy) {
        int bare = 0;
        for (int y = 0; y < sand.height; ++y)
            for (int x = 0; x < sand.width; ++x)
                bare += (sand.at(x, y) >> 24) > 0 && (cells.at(ox + x, oy + y) >> 24) == 0;
        return bare;
    };
    EXPECT_EQ(underGlass(top, 36, 48), 0);
    EXPECT_EQ(underGlass(bottom, 34, 106), 0);
    // The curtains start above the screen and, brought down 600 pixels together, cover it without a gap.
    const SpriteDef& c1 = sprite("datafile", "curtain1");
    const SpriteDef& c2 = sprite("datafile", "curtain2");
    const Picture p1 = data.picture(main, c1.images.at(0)), p2 = data.picture(main, c2.images.at(0));
    EXPECT_LE(c2.numbers.at(1) + p2.height, 0);
    EXPECT_LE(c1.numbers.at(1) + p1.height, 0);
    EXPECT_EQ((c2.numbers.at(1) + p2.height) % 20, 0) << "the curtains move 20 pixels a tick";
    EXPECT_LE(c1.numbers.at(1) + 600, 0);
    EXPECT_GE(c1.numbers.at(1) + 600 + p1.height, c2.numbers.at(1) + 600);
    EXPECT_GE(p1.width, 800);
    EXPECT_GE(p2.width, 800);
    // The trash can opens over its frames; the shape thrown away appears where the can is.
    const SpriteDef& trash = sprite("datafile", "trash");
    EXPECT_GE(trash.numbers.at(2) * trash.numbers.at(3), 3);
    const SpriteDef& thrown = sprite("datafile", "trashshape2");
    EXPECT_LT(std::abs(thrown.numbers.at(0) + 40 -
                       (trash.numbers.at(0) + data.picture(main, "trash").width / (2 * trash.numbers.at(2)))),
              20);
}

TEST_F(Content, TheStartScreensRimLiesOnTheMachinesTrim) {
    // Across each edge of the start dialog, the picture the player sees (the dialog's panel over the
    // frame) crosses one gold rim, not the dialog's and the machine's side by side.
    const SpriteDef& dlg = sprite("datafile", "startdialog");
    const Picture panel = data.picture(data.script("startdlg"), sprite("startdlg", "panel").images.at(0));
    const Picture frame = data.pictureItem("frame");
    ASSERT_TRUE(panel.ok && frame.ok);
    const int left = dlg.numbers.at(0), top = dlg.numbers.at(1);
    const auto seen = [&](int x, int y) {
        const uint32_t f = frame.at(x, y);
        const int px = x - left, py = y - top;
        if (px < 0 || py < 0 || px >= panel.width || py >= panel.height) return f;
        const uint32_t p = panel.at(px, py);
        const double a = (p >> 24) / 255.0;
        uint32_t out = 0xFF000000u;
        for (int shift : {16, 8, 0})
            out |=
                static_cast<uint32_t>(std::lround(((p >> shift) & 255) * a + ((f >> shift) & 255) * (1 - a)))
                << shift;
        return out;
    };
    const auto gold = [](uint32_t c) {
        const int r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
        return r > 120 && g > 70 && r - b > 60;
    };
    // Runs of gold pixels from (x, y) in steps of (dx, dy), n pixels long.
    const auto rims = [&](int x, int y, int dx, int dy, int n) {
        int runs = 0;
        bool in = false;
        for (int i = 0; i < n; ++i, x += dx, y += dy) {
            const bool g = gold(seen(x, y));
            runs += g && !in;
            in = g;
        }
        return runs;
    };
    const int right = left + panel.width, bottom = top + panel.height;
    // Clear of the cards, the title and the rounded corners; the side panel starts 4 pixels right of it.
    const int y = 200, x = 30;
    EXPECT_EQ(rims(right - 24, y, 1, 0, 24 + 3), 1) << "right edge";
    EXPECT_EQ(rims(left + 24, y, -1, 0, 24 + left), 1) << "left edge";
    EXPECT_EQ(rims(x, bottom - 24, 0, 1, 24 + 600 - bottom), 1) << "bottom edge";
    EXPECT_EQ(rims(x, top + 24, 0, -1, 24 + top), 1) << "top edge";
}
