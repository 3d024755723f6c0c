// Painting through a real surface: exact pixels of sprites, cells, blends, containers, numbers and fills.
#include "SpriteTestSupport.h"

#include "gfx/FancyHelper.h"
#include "gfx/GraphicsI.h"
#include "sprites/AnimateSprite.h"
#include "sprites/FancyContainer.h"
#include "sprites/NumberSprite.h"
#include "sprites/RichTTYSprite.h"
#include "sprites/TextSprite.h"
#include "sprites/TiledSprite.h"
#include "gfx/Font.h"
#include "gfx/FontMetrics.h"
#include "runtime/Locale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace lang;
using namespace mph;
using namespace spritetest;

namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;

// A w x h opaque black target and its surface.
struct Target {
    Target(int32_t w, int32_t h) : image(solidImage(w, h, kBlack)), surface(adopt(new GraphicsI(image.get()))) {}
    ~Target() { surface->dispose(); }
    uint32_t at(int32_t x, int32_t y) const { return image->getPixels()[y * image->getWidth() + x]; }
    // One letter per pixel: '.' black, 'R' red, 'G' green, '?' anything else.
    std::string row(int32_t y) const {
        std::string s;
        for (int32_t x = 0; x < image->getWidth(); ++x) {
            const uint32_t p = at(x, y);
            s += p == kBlack ? '.' : p == kRed ? 'R' : p == kGreen ? 'G' : '?';
        }
        return s;
    }
    Ref<Image> image;
    Ref<GraphicsI> surface;
};

} // namespace

TEST(SpritePaint, PlainClippedExcludedAndBlended) {
    Target t(5, 3);
    auto red = solidImage(3, 3, kRed);
    Sprite s;
    s.setImage(red.get());
    s.setLocation(1, 0);
    s.paint(t.surface.get()); // not yet stepped: nothing
    EXPECT_EQ(t.row(0), ".....");
    tick(s, 0);
    Rectangle exclusion(2, 1, 1, 1);
    s.setExclusion(&exclusion);
    s.paint(t.surface.get());
    EXPECT_EQ(t.row(0), ".RRR.");
    EXPECT_EQ(t.row(1), ".R.R.");

    Target half(2, 1);
    auto redWide = solidImage(2, 1, kRed);
    Sprite faded;
    faded.setImage(redWide.get());
    faded.setTint(64, 128, 128, 128);
    Rectangle clip(1, 0, 1, 1);
    faded.setClip(&clip);
    tick(faded, 0);
    faded.paint(half.surface.get());
    EXPECT_EQ(half.at(0, 0), kBlack);
    EXPECT_EQ(half.at(1, 0), 0xFF7E0000u); // k = 255 * 64 >> 7 = 127: 255 * 127 >> 8
    EXPECT_EQ(half.surface->getFancyHelper()->opacity, 128); // the surface is put back
}

TEST(SpritePaint, AnimateSpriteShowsOnlyItsCell) {
    Target t(4, 2);
    auto strip = solidImage(4, 2, kRed);
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 2; x < 4; ++x) strip->getPixels()[y * 4 + x] = kGreen;
    }
    AnimateSprite a;
    a.setImageGrid(strip.get(), 2, 1);
    a.setFrame(1);
    a.setLocation(1, 0);
    tick(a, 0);
    a.paint(t.surface.get());
    EXPECT_EQ(t.row(0), ".GG.");
    EXPECT_EQ(t.row(1), ".GG.");
}

TEST(SpritePaint, ContainerPaintsChildrenInsideItself) {
    Target t(6, 6);
    FancyContainer c;
    ASSERT_TRUE(c.initFromDefinition(*images({}), *ints({2, 2, 2, 3})));
    auto green = solidImage(4, 4, kGreen);
    auto child = make<Sprite>();
    child->setImage(green.get());
    child->setLocation(1, 1);
    c.addChild(child.get());
    tick(c, 0);
    c.repaintAll();
    c.paint(t.surface.get());
    EXPECT_EQ(t.row(2), "......");
    EXPECT_EQ(t.row(3), "...G..");
    EXPECT_EQ(t.row(4), "...G..");
    EXPECT_EQ(t.row(5), "......");
}

// A container whose corner lies at the very end of the coordinate range (a damaged definition) is off
// every surface: it paints nothing, and what its translation would have to undo is never worked out.
TEST(SpritePaint, ContainerAtTheEndOfTheCoordinateRangePaintsNothing) {
    Target t(6, 6);
    FancyContainer c;
    ASSERT_TRUE(c.initFromDefinition(*images({}), *ints({INT32_MIN, INT32_MIN, 40, 30})));
    auto green = solidImage(4, 4, kGreen);
    auto child = make<Sprite>();
    child->setImage(green.get());
    c.addChild(child.get());
    tick(c, 0);
    c.repaintAll();
    c.paint(t.surface.get());
    EXPECT_EQ(t.row(0), "......");
}

TEST(SpritePaint, NumberGlyphsAndFlatTiles) {
    Locale::setOverride(',', '.');
    // 15 glyphs of 2 x 1: digits 1 (cell 6) red, digit 2 (cell 7) green, the comma (cell 3) blue.
    auto strip = solidImage(30, 1, 0xFF808080u);
    for (int32_t x = 12; x < 14; ++x) strip->getPixels()[x] = kRed;
    for (int32_t x = 14; x < 16; ++x) strip->getPixels()[x] = kGreen;
    Target t(8, 1);
    NumberSprite n;
    n.setImage(strip.get());
    n.setValue(1221);
    tick(n, 0);
    n.paint(t.surface.get());
    // Units 8 + 1 make 9 pixels from x 0: 1, a one-pixel comma, 2, 2, and the last 1 cut at the edge.
    EXPECT_EQ(t.row(0), "RR?GGGGR");
    Locale::setOverride('\0', '\0');

    Target fill(4, 2);
    TiledSprite flat;
    ASSERT_TRUE(flat.initFromDefinition(*images({}), *ints({0, 255, 0, 1, 0, 2, 2})));
    tick(flat, 0);
    flat.paint(fill.surface.get());
    EXPECT_EQ(fill.row(0), ".GG.");
    EXPECT_EQ(fill.row(1), ".GG.");
}

TEST(SpritePaint, TextIsPreRenderedFromGlyphCoverage) {
    auto font = make<Font>(String("Arial"), 0, 16);
    Ref<FontMetrics> metrics = adopt(font->getMetrics());
    TextSprite text(font.get(), 0xFF00FF00u, 0xFFFFFFFFu, false, false);
    text.setFontSmoothing(false);
    text.setText(String("Hi"));
    ASSERT_TRUE(text.hasRenderedImage());
    EXPECT_EQ(text.getWidth(), metrics->stringWidth("Hi") + 4);
    EXPECT_EQ(text.getHeight(), metrics->getHeight() + 2);
    Image* image = text.getImage();
    int32_t covered = 0;
    for (int32_t i = 0; i < image->getWidth() * image->getHeight(); ++i) {
        const uint32_t p = image->getPixels()[i];
        EXPECT_EQ(p & 0xFFFFFFu, 0x00FF00u);
        const uint32_t alpha = p >> 24;
        EXPECT_TRUE(alpha == 0 || alpha % 4 == 3) << alpha;
        covered += alpha != 0;
    }
    EXPECT_GT(covered, 10);

    Target t(40, 30);
    text.setLocation(5, 20);
    tick(text, 0);
    text.paint(t.surface.get());
    int32_t green = 0;
    for (int32_t y = 0; y < 30; ++y) {
        for (int32_t x = 0; x < 40; ++x) green += (t.at(x, y) & 0xFF00u) != 0;
    }
    EXPECT_GT(green, 10);
    text.setText(String(""));
    EXPECT_EQ(text.getWidth(), 4);
    text.unloadImage();
    text.setText(String("Hi"));
    EXPECT_TRUE(text.hasRenderedImage());
}

TEST(SpritePaint, ConsoleWithRealFontsWrapsAndPaints) {
    RichTTYSprite tty;
    tty.configure(60, 60, 12, 0xFFFFFFFFu, 0xFF000080u, true);
    EXPECT_GE(tty.getLineCount(), 2);
    tty.print("`C00ff00wrapping words here");
    EXPECT_FALSE(tty.lineText(1).isEmpty());
    Target t(60, 60);
    tick(tty, 0);
    tty.paint(t.surface.get());
    EXPECT_EQ(t.at(0, 0), 0xFF000080u);
    int32_t green = 0;
    for (int32_t y = 0; y < 60; ++y) {
        for (int32_t x = 0; x < 60; ++x) green += (t.at(x, y) & 0xFF00u) > 0x8000u;
    }
    EXPECT_GT(green, 10);
}
