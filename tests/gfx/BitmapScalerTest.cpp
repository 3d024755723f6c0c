// BitmapScaler: nearest-pixel picks and area averages with fractional edges.
#include "gfx/BitmapScaler.h"

#include <gtest/gtest.h>

namespace {

lang::Ref<mph::Image> numbered(int w, int h) {
    auto image = lang::make<mph::Image>(w, h, 0, false);
    for (int i = 0; i < w * h; ++i)
        image->getPixels()[i] = static_cast<uint32_t>(i);
    return image;
}

} // namespace

TEST(BitmapScaler, NearestTakesEveryOtherPixel) {
    auto source = numbered(4, 4);
    mph::BitmapScaler scaler(source.get());
    auto half = scaler.scale(2, 2, nullptr, mph::BitmapScaler::kNearest);
    ASSERT_TRUE(half);
    EXPECT_TRUE(half->getAlphaFlag());
    EXPECT_FALSE(half->hasBitmap());
    const uint32_t* p = half->getPixels();
    EXPECT_EQ(p[0], 0u);  // (0, 0)
    EXPECT_EQ(p[1], 2u);  // (2, 0)
    EXPECT_EQ(p[2], 8u);  // (0, 2)
    EXPECT_EQ(p[3], 10u); // (2, 2)
    EXPECT_EQ(scaler.getTarget(), half.get());

    // A source rectangle, enlarged twofold; parts outside the source read as transparent.
    lang::Rectangle rect(3, 2, 2, 1);
    auto grown = scaler.scale(4, 2, &rect, mph::BitmapScaler::kNearest);
    ASSERT_TRUE(grown);
    const uint32_t expected[4] = {11, 11, 0, 0};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(grown->getPixels()[y * 4 + x], expected[x]);
}

TEST(BitmapScaler, AreaAverageWeighsEveryChannel) {
    auto source = lang::make<mph::Image>(4, 2, 0, false);
    const uint32_t pixels[8] = {0xFF000000, 0x00FF0000, 0x80808080, 0x80808080,
                                0xFF0000FF, 0x0000FF00, 0x40404040, 0xC0C0C0C0};
    std::copy(pixels, pixels + 8, source->getPixels());
    mph::BitmapScaler scaler(source.get());
    auto half = scaler.scale(2, 1, nullptr, mph::BitmapScaler::kAreaAverage);
    ASSERT_TRUE(half);
    // Each channel is the plain mean of a 2x2 block, rounded.
    EXPECT_EQ(half->getPixels()[0], 0x80404040u);
    EXPECT_EQ(half->getPixels()[1], 0x80808080u);

    // Three pixels into two: each target covers one and a half source pixels.
    auto row = lang::make<mph::Image>(3, 1, 0, false);
    row->getPixels()[0] = 0;
    row->getPixels()[1] = 90;
    row->getPixels()[2] = 180;
    mph::BitmapScaler thirds(row.get());
    auto two = thirds.scale(2, 1, nullptr, mph::BitmapScaler::kAreaAverage);
    ASSERT_TRUE(two);
    EXPECT_EQ(two->getPixels()[0], 30u);
    EXPECT_EQ(two->getPixels()[1], 150u);

    // Enlarging keeps flat areas flat.
    auto up = thirds.scale(7, 3, nullptr, mph::BitmapScaler::kAreaAverage);
    ASSERT_TRUE(up);
    EXPECT_EQ(up->getPixels()[0], 0u);
    EXPECT_EQ(up->getPixels()[6], 180u);
    EXPECT_EQ(up->getPixels()[2 * 7 + 6], 180u);
}

TEST(BitmapScaler, NothingToScale) {
    mph::Image empty;
    mph::BitmapScaler scaler(&empty);
    EXPECT_FALSE(scaler.scale(2, 2, nullptr, 0));
    auto source = numbered(2, 2);
    mph::BitmapScaler sized(source.get());
    EXPECT_FALSE(sized.scale(0, 2, nullptr, 0));
    EXPECT_FALSE(sized.scale(20000, 2, nullptr, 1));
    lang::Rectangle none(0, 0, 0, 3);
    EXPECT_FALSE(sized.scale(2, 2, &none, 1));
}
