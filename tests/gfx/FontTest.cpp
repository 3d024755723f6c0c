// Fonts: family mapping, stable metrics, glyph coverage and text drawn through a surface.
#include "gfx/Font.h"
#include "gfx/FontMetrics.h"
#include "gfx/GraphicsI.h"
#include "gfx/Image.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>

#include <algorithm>

using lang::Ref;
using mph::Font;
using mph::Image;

TEST(Font, FamiliesMapExplicitly) {
    Ref<Font> arial = lang::make<Font>(lang::String("Arial"), 0, 12);
    Ref<Font> verdana = lang::make<Font>(lang::String("verdana"), Font::kBold, 12);
    EXPECT_EQ(arial->getFamilyName(), "Liberation Sans");
    EXPECT_EQ(verdana->getFamilyName(), "DejaVu Sans");
    Ref<Font> unknown = lang::make<Font>(lang::String("No Such Face 123"), 0, 12);
    EXPECT_FALSE(unknown->getFamilyName().empty());
}

TEST(Font, MetricsAreStableNumbers) {
    Ref<Font> arial = lang::make<Font>(lang::String("Arial"), 0, 12);
    Ref<mph::FontMetrics> m = lang::adopt(arial->getMetrics());
    Ref<mph::FontMetrics> again = lang::adopt(arial->getMetrics());
    EXPECT_EQ(m.get(), again.get());
    // From the font's own tables: win ascent 1854 and descent 434 of 2048 units, advances rounded per glyph.
    EXPECT_EQ(m->getAscent(), 11);
    EXPECT_EQ(m->getDescent(), 3);
    EXPECT_EQ(m->getHeight(), 14);
    EXPECT_EQ(m->charWidth('W'), 11);
    EXPECT_EQ(m->stringWidth(lang::String("Hello")), 9 + 7 + 3 + 3 + 7);
    EXPECT_EQ(m->stringWidth(lang::String("")), 0);
    EXPECT_EQ(m->stringWidth("abc", 1, 0), 0);
    EXPECT_EQ(m->stringWidth("abc", 1, 2), m->stringWidth("bc"));
    EXPECT_EQ(m->stringWidth(static_cast<const char*>(nullptr)), 0);
    Ref<Font> verdana = lang::make<Font>(lang::String("Verdana"), 0, 11);
    Ref<mph::FontMetrics> vm = lang::adopt(verdana->getMetrics());
    EXPECT_EQ(vm->getHeight(), 13);
    EXPECT_EQ(vm->stringWidth(lang::String("Score")), 32);
    // Latin-1 bytes have glyphs of their own.
    EXPECT_GT(m->charWidth('\xE9'), 0);
}

TEST(Font, GlyphCoverageHas65Levels) {
    Ref<Font> arial = lang::make<Font>(lang::String("Arial"), 0, 20);
    mph::GlyphCoverage g;
    ASSERT_TRUE(arial->getGlyphCoverage('O', g));
    EXPECT_GT(g.width, 8);
    EXPECT_GT(g.height, 10);
    EXPECT_EQ(g.pitch % 4, 0);
    EXPECT_GE(g.pitch, g.width);
    EXPECT_EQ(g.advance, arial->charWidth('O'));
    EXPECT_GT(g.originY, 10); // the top of a capital is well above the baseline
    EXPECT_LE(g.originY, arial->getAscent());
    const auto [lo, hi] = std::minmax_element(g.levels.begin(), g.levels.end());
    EXPECT_EQ(*lo, 0);
    EXPECT_EQ(*hi, 64);
    EXPECT_TRUE(std::any_of(g.levels.begin(), g.levels.end(), [](uint8_t v) { return v > 0 && v < 64; }));
    ASSERT_TRUE(arial->getGlyphCoverage(' ', g));
    EXPECT_EQ(g.advance, arial->charWidth(' '));
}

TEST(Font, TextDrawsInsideItsBoxAtTheBaseline) {
    Ref<Image> img = lang::make<Image>(60, 30, 1, true);
    std::fill(img->getPixels(), img->getPixels() + 60 * 30, 0xFFFFFFFFu);
    Ref<mph::GraphicsI> g = lang::adopt(img->getGraphics());
    Ref<Font> arial = lang::make<Font>(lang::String("Arial"), 0, 12);
    g->setFont(arial.get());
    g->setColor(lang::Color(0, 0, 0));
    g->drawString(lang::String("Hi"), 5, 20);
    int minX = 99, maxX = -1, minY = 99, maxY = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
            if (img->getPixels()[y * 60 + x] != 0xFFFFFFFFu) {
                EXPECT_EQ(img->getPixels()[y * 60 + x] >> 24, 0xFFu);
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0);
    EXPECT_GE(minX, 5);
    EXPECT_LT(maxX, 5 + 7 + 3 + 1);
    EXPECT_GE(minY, 20 - 11);
    EXPECT_LE(maxY, 20); // "Hi" has no descender
    EXPECT_GE(maxY, 19);

    // Text in a rectangle is cut at the rectangle and does not spill beyond it.
    std::fill(img->getPixels(), img->getPixels() + 60 * 30, 0xFFFFFFFFu);
    g->drawStringInRect(lang::String("Wide words keep going on"), lang::Rectangle(2, 2, 30, 14));
    EXPECT_GT(std::count_if(img->getPixels(), img->getPixels() + 60 * 30, [](uint32_t p) { return p != 0xFFFFFFFFu; }),
              10);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
            if (x < 2 || x >= 32 || y < 2 || y >= 16) {
                EXPECT_EQ(img->getPixels()[y * 60 + x], 0xFFFFFFFFu);
            }
}
