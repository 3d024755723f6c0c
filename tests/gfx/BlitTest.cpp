// GraphicsI blits: blend arithmetic, opacity, tint, additive mode, shadow, keepTransparency and fills.
#include "gfx/FancyHelper.h"
#include "gfx/GraphicsI.h"
#include "gfx/Image.h"
#include "gfx/Region.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>

using lang::Ref;
using mph::GraphicsI;
using mph::Image;

namespace {

Ref<Image> filled(int w, int h, uint32_t value, bool alpha = false, bool bitmap = false) {
    Ref<Image> img = lang::make<Image>(w, h, 1, bitmap);
    std::fill(img->getPixels(), img->getPixels() + w * h, value);
    img->setAlphaFlag(alpha);
    return img;
}

uint32_t px(Image* img, int x, int y) { return img->getPixels()[y * img->getWidth() + x]; }

uint32_t mix(uint32_t s, uint32_t d, uint32_t k) {
    uint32_t out = 0xFF000000u;
    for (int sh : {16, 8, 0}) out |= ((((s >> sh) & 0xFF) * k + ((d >> sh) & 0xFF) * (256 - k)) >> 8) << sh;
    return out;
}

} // namespace

TEST(Blit, OpacityHalfBlendsWithWeight127) {
    Ref<Image> dst = filled(4, 4, 0xFF204060);
    Ref<Image> src = filled(2, 2, 0xFFF0A010, true);
    Ref<GraphicsI> g = lang::adopt(dst->getGraphics());
    g->getFancyHelper()->opacity = 64;
    EXPECT_TRUE(g->drawImage(src.get(), 1, 1));
    EXPECT_EQ(px(dst.get(), 1, 1), mix(0xFFF0A010, 0xFF204060, 127));
    EXPECT_EQ(px(dst.get(), 1, 1), 0xFF876F38u); // red (240 * 127 + 32 * 129) >> 8 = 135
    EXPECT_EQ(px(dst.get(), 0, 0), 0xFF204060u);
    EXPECT_EQ(px(dst.get(), 3, 3), 0xFF204060u);
}

TEST(Blit, PartialAlphaAndTransparentSources) {
    Ref<Image> dst = filled(3, 1, 0xFF102030);
    Ref<Image> src = lang::make<Image>(3, 1, 1, false);
    src->setAlphaFlag(true);
    src->getPixels()[0] = 0x00FFFFFF; // clear: nothing happens
    src->getPixels()[1] = 0x80FF0000; // half
    src->getPixels()[2] = 0xFF00FF00; // opaque: copied
    Ref<GraphicsI> g = lang::adopt(dst->getGraphics());
    g->drawImage(src.get(), 0, 0);
    EXPECT_EQ(px(dst.get(), 0, 0), 0xFF102030u);
    EXPECT_EQ(px(dst.get(), 1, 0), mix(0x80FF0000, 0xFF102030, 128));
    EXPECT_EQ(px(dst.get(), 2, 0), 0xFF00FF00u);

    Ref<Image> clear = filled(3, 1, 0x00ABCDEF, true);
    g->drawImage(clear.get(), 0, 0);
    EXPECT_EQ(px(dst.get(), 1, 0), mix(0x80FF0000, 0xFF102030, 128));
    // Opacity 0 draws nothing at all.
    g->getFancyHelper()->opacity = 0;
    g->drawImage(src.get(), 0, 0);
    EXPECT_EQ(px(dst.get(), 0, 0), 0xFF102030u);
}

TEST(Blit, KeepTransparencyCopiesOntoClearPixels) {
    Ref<Image> dst = filled(2, 1, 0x00000000, true);
    dst->getPixels()[1] = 0xFF000000;
    Ref<Image> src = filled(2, 1, 0x40C08040, true);
    Ref<GraphicsI> g = lang::adopt(dst->getGraphics());
    g->drawImage(src.get(), 0, 0);
    EXPECT_EQ(px(dst.get(), 0, 0), 0x40C08040u); // unchanged, alpha included
    EXPECT_EQ(px(dst.get(), 1, 0), mix(0x40C08040, 0xFF000000, 0x40));
}

TEST(Blit, ShadowKeeps129Of256AndMakesOpaque) {
    Ref<Image> dst = filled(4, 4, 0x80C8C8C8);
    Ref<Image> src = filled(2, 2, 0xFF000000, true);
    Ref<GraphicsI> g = lang::adopt(dst->getGraphics());
    mph::FancyHelper* f = g->getFancyHelper();
    f->shadowOn = true;
    f->shadowDX = 2;
    f->shadowDY = 2;
    src->getPixels()[0] = 0xFFFFFFFF;
    g->drawImage(src.get(), 0, 0);
    const uint32_t c = (200 * 129) >> 8;
    EXPECT_EQ(px(dst.get(), 2, 2), 0xFF000000u | c << 16 | c << 8 | c);
    EXPECT_EQ(px(dst.get(), 3, 3), 0xFF000000u | c << 16 | c << 8 | c);
    EXPECT_EQ(px(dst.get(), 0, 0), 0xFFFFFFFFu); // the image itself is drawn after its shadow
    EXPECT_EQ(px(dst.get(), 3, 0), 0x80C8C8C8u);
    // drawShadow draws the shadow alone, at the given place.
    Ref<Image> dst2 = filled(2, 2, 0xFF646464);
    Ref<GraphicsI> g2 = lang::adopt(dst2->getGraphics());
    g2->drawShadow(src.get(), 0, 0);
    EXPECT_EQ(px(dst2.get(), 1, 1), 0xFF000000u | ((100 * 129) >> 8) * 0x010101u);
}

TEST(Blit, AdditiveSaturatesAndTintScales) {
    Ref<Image> dst = filled(2, 1, 0xFF80F010);
    Ref<Image> src = filled(2, 1, 0xFF909090, true);
    src->getPixels()[1] = 0x80909090;
    Ref<GraphicsI> g = lang::adopt(dst->getGraphics());
    EXPECT_EQ(g->setPaintMode(1), 0);
    g->drawImage(src.get(), 0, 0);
    EXPECT_EQ(px(dst.get(), 0, 0), 0xFFFFFFA0u);
    const uint32_t add = (0x90 * 128) >> 8;
    EXPECT_EQ(px(dst.get(), 1, 0), 0xFF000000u | std::min(255u, 0x80 + add) << 16 | 255u << 8 | (0x10 + add));

    // Tint: each channel times scale / 128, saturating at 255; fully covered pixels become opaque.
    Ref<Image> t = filled(1, 1, 0xFF000000);
    Ref<GraphicsI> tg = lang::adopt(t->getGraphics());
    mph::FancyHelper* f = tg->getFancyHelper();
    f->redScale = 256;
    f->greenScale = 64;
    f->blueScale = 128;
    Ref<Image> s = filled(1, 1, 0xFFA08040, true);
    tg->drawImage(s.get(), 0, 0);
    EXPECT_EQ(px(t.get(), 0, 0), 0xFFFF4040u);
}

TEST(Blit, ClipTranslationAndFastOpaqueCopy) {
    Ref<Image> dst = filled(6, 6, 0xFF000000, false, true);
    Ref<Image> src = filled(4, 4, 0x11223344, false, true); // no alpha flag, device bitmap: copied as is
    Ref<GraphicsI> g = lang::adopt(dst->getGraphics());
    g->getFancyHelper()->opacity = 10;
    g->getFancyHelper()->redScale = 300;
    g->translate(1, 1);
    g->clipRect(0, 0, 3, 3); // (1, 1) to (3, 3) in target pixels
    g->drawImage(src.get(), -1, -1);
    EXPECT_EQ(px(dst.get(), 1, 1), 0x11223344u);
    EXPECT_EQ(px(dst.get(), 2, 2), 0x11223344u);
    EXPECT_EQ(px(dst.get(), 0, 0), 0xFF000000u);
    EXPECT_EQ(px(dst.get(), 4, 1), 0xFF000000u);
    EXPECT_EQ(px(dst.get(), 1, 4), 0xFF000000u);
    lang::Rectangle bounds;
    g->getClipBounds(bounds);
    EXPECT_TRUE(bounds.sameAs(1, 1, 3, 3));
    int32_t tx = 0, ty = 0;
    g->getTranslation(tx, ty);
    EXPECT_EQ(tx, 1);
    EXPECT_EQ(ty, 1);
    // In additive mode the same picture blends instead.
    g->setPaintMode(1);
    g->getFancyHelper()->reset();
    Ref<Image> dst2 = filled(2, 2, 0xFF010101, false, true);
    Ref<GraphicsI> g2 = lang::adopt(dst2->getGraphics());
    g2->setPaintMode(1);
    Ref<Image> opaque = filled(2, 2, 0xFF101010, false, true);
    g2->drawImage(opaque.get(), 0, 0);
    EXPECT_EQ(px(dst2.get(), 0, 0), 0xFF111111u);
}

TEST(Blit, FillRectIsOpaqueAndTinted) {
    Ref<Image> dst = filled(4, 4, 0x00000000, true);
    Ref<GraphicsI> g = lang::adopt(dst->getGraphics());
    g->setColor(lang::Color::fromArgb(0x00804020));
    g->getFancyHelper()->greenScale = 512;
    g->fillRect(1, 1, 2, 10);
    EXPECT_EQ(px(dst.get(), 1, 1), 0xFF80FF20u);
    EXPECT_EQ(px(dst.get(), 2, 3), 0xFF80FF20u);
    EXPECT_EQ(px(dst.get(), 0, 1), 0u);
    EXPECT_EQ(px(dst.get(), 3, 1), 0u);
}

TEST(Blit, PixelsAreClippedToTheImage) {
    Ref<Image> dst = filled(2, 2, 0xFF000000);
    Ref<GraphicsI> g = lang::adopt(dst->getGraphics());
    g->setColor(lang::Color::fromArgb(0x80FF0000));
    g->drawPixel(0, 0);
    EXPECT_EQ(g->getPixel(0, 0), 0x80FF0000u); // stored unblended
    g->blendPixel(1, 0, 0x80FF0000);
    EXPECT_EQ(g->getPixel(1, 0), mix(0x80FF0000, 0xFF000000, 0x80));
    g->blendPixel(0, 1, 0xFF00FF00);
    EXPECT_EQ(g->getPixel(0, 1), 0xFF00FF00u);
    g->drawPixel(5, 5);
    g->blendPixel(-1, 0, 0xFFFFFFFF);
    EXPECT_EQ(g->getPixel(-1, 0), 0u);
    EXPECT_EQ(g->getPixel(2, 0), 0u);
    // A line plots every point but its last one.
    Ref<Image> line = filled(5, 1, 0);
    Ref<GraphicsI> lg = lang::adopt(line->getGraphics());
    lg->setColor(lang::Color::fromArgb(0xFFFFFFFF));
    lg->drawLine(0, 0, 4, 0);
    EXPECT_EQ(px(line.get(), 3, 0), 0xFFFFFFFFu);
    EXPECT_EQ(px(line.get(), 4, 0), 0u);
}

TEST(Blit, SubSurfacesShareBlendParametersOnly) {
    Ref<Image> dst = filled(4, 4, 0xFF000000);
    Ref<GraphicsI> g = lang::adopt(dst->getGraphics());
    g->translate(1, 0);
    g->clipRect(0, 0, 2, 2);
    Ref<mph::Graphics> sub = lang::adopt(g->create());
    EXPECT_EQ(sub->getFancyHelper(), g->getFancyHelper());
    sub->getFancyHelper()->opacity = 64;
    EXPECT_EQ(g->getFancyHelper()->opacity, 64);
    sub->translate(1, 1);
    sub->clipRect(0, 0, 1, 1);
    int32_t tx = 0, ty = 0;
    g->getTranslation(tx, ty);
    EXPECT_EQ(tx, 1);
    EXPECT_EQ(ty, 0);
    lang::Rectangle parent, child;
    g->getClipBounds(parent);
    sub->getClipBounds(child);
    EXPECT_TRUE(parent.sameAs(1, 0, 2, 2));
    EXPECT_TRUE(child.sameAs(2, 1, 1, 1));
    sub->dispose();
}

TEST(Blit, RegionClipLimitsBlitsAndFills) {
    Ref<Image> dst = filled(6, 2, 0xFF000000);
    Ref<GraphicsI> g = lang::adopt(dst->getGraphics());
    Ref<mph::Region> region = lang::make<mph::Region>();
    region->addRect(0, 0, 2, 2);
    region->addRect(4, 0, 1, 1);
    g->setClip(region.get());
    Ref<Image> src = filled(6, 2, 0xFFFFFFFF, true);
    g->drawImage(src.get(), 0, 0);
    const char* expect[2] = {"XX..X.", "XX...."};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(px(dst.get(), x, y), expect[y][x] == 'X' ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
    g->setColor(lang::Color(1, 2, 3));
    g->fillRect(0, 0, 6, 2);
    EXPECT_EQ(px(dst.get(), 1, 1), 0xFF010203u);
    EXPECT_EQ(px(dst.get(), 3, 0), 0xFF000000u);
    Ref<mph::Region> clip = lang::adopt(g->getClip());
    EXPECT_EQ(clip->getRectCount(), 3); // bands: (0,0,2,1) (4,0,1,1) (0,1,2,1)
    EXPECT_FALSE(clip->intersects(lang::Rectangle(2, 0, 2, 2)));
    EXPECT_TRUE(clip->intersects(lang::Rectangle(3, 0, 2, 1)));
}
