// Polygons through cairo: aliased fills, and translucent targets keeping the pixels cairo did not touch.
#include "gfx/GraphicsI.h"
#include "gfx/Image.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>

using lang::Ref;

TEST(Path, FillPolygonOnTranslucentTargetLeavesOtherPixelsExact) {
    Ref<mph::Image> img = lang::make<mph::Image>(8, 8, 1, false);
    std::fill(img->getPixels(), img->getPixels() + 64, 0x40123456u);
    img->getPixels()[63] = 0x01FFFFFFu;
    Ref<mph::GraphicsI> g = lang::adopt(img->getGraphics());
    g->setColor(lang::Color(200, 100, 50));
    g->translate(3, 3); // polygon points are used as they are
    const int32_t xs[] = {1, 5, 5, 1};
    const int32_t ys[] = {1, 1, 5, 5};
    g->fillPolygon(xs, ys, 4);
    EXPECT_EQ(img->getPixels()[2 * 8 + 2], 0xFFC86432u);
    EXPECT_EQ(img->getPixels()[4 * 8 + 4], 0xFFC86432u);
    EXPECT_EQ(img->getPixels()[0], 0x40123456u);
    EXPECT_EQ(img->getPixels()[6 * 8 + 6], 0x40123456u);
    EXPECT_EQ(img->getPixels()[63], 0x01FFFFFFu);
}
