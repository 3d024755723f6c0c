// TiledSprite and WaveSprite: definitions, tile positions, the wave's displacement and its undo.
#include "SpriteTestSupport.h"

#include "sprites/TiledSprite.h"
#include "sprites/WaveSprite.h"

#include <gtest/gtest.h>

#include <vector>

using namespace lang;
using namespace mph;
using namespace spritetest;

TEST(TiledSprite, DefinitionsAndTilePositions) {
    EXPECT_EQ(TiledSprite::tilePositions(0, 30, 5, 100), (std::vector<int32_t>{0, 35, 70}));
    EXPECT_EQ(TiledSprite::tilePositions(-10, 30, 0, 50), (std::vector<int32_t>{-10, 20}));
    EXPECT_EQ(TiledSprite::tilePositions(0, 0, 0, 50).size(), 1u);

    TiledSprite flat;
    EXPECT_FALSE(flat.initFromDefinition(*images({}), *ints({1, 2, 3, 4, 5, 6})));
    ASSERT_TRUE(flat.initFromDefinition(*images({}), *ints({10, 20, 30, 5, 6, 100, 50})));
    EXPECT_EQ(flat.getFillColor().getValue(), 0xFF0A141Eu);
    EXPECT_TRUE(flat.getBounds().sameAs(5, 6, 100, 50));

    auto tile = solidImage(30, 30, 0xFF000000u);
    TiledSprite tiled;
    EXPECT_FALSE(tiled.initFromDefinition(*images({tile.get()}), *ints({1, 2, 3})));
    ASSERT_TRUE(tiled.initFromDefinition(*images({tile.get()}), *ints({0, 0, 100, 40})));
    EXPECT_EQ(tiled.getWidth(), 100);
    tiled.setImage(solidImage(8, 8, 0xFF000000u).get());
    EXPECT_EQ(tiled.getWidth(), 100); // the area keeps its size
}

TEST(WaveSprite, PositionIsTheSourceCornerAndTheWaveRepeats) {
    auto source = solidImage(40, 10, 0xFF123456u);
    WaveSprite wave;
    ASSERT_TRUE(wave.initFromDefinition(*images({source.get()}), *ints({100, 50, 6})));
    EXPECT_EQ(wave.getX(), 100);
    EXPECT_EQ(wave.getY(), 50);
    EXPECT_TRUE(wave.getBounds().sameAs(90, 44, 60, 22));
    Image* padded = wave.getImage();
    const std::vector<uint32_t> flat(padded->getPixels(), padded->getPixels() + 60 * 22);
    EXPECT_EQ(flat[6 * 60 + 10], 0xFF123456u);
    EXPECT_EQ(flat[6 * 60 + 9], 0u);

    std::vector<uint32_t> afterFirst;
    for (int32_t t = 1; t <= 37; ++t) {
        tick(wave, t);
        if (t == 1) afterFirst.assign(padded->getPixels(), padded->getPixels() + 60 * 22);
    }
    EXPECT_EQ(wave.getPhase(), 370);
    EXPECT_NE(afterFirst, flat);
    EXPECT_EQ(std::vector<uint32_t>(padded->getPixels(), padded->getPixels() + 60 * 22), afterFirst);
    // No opaque pixel was lost on the way.
    int32_t opaque = 0;
    for (int32_t i = 0; i < 60 * 22; ++i) opaque += padded->getPixels()[i] != 0;
    EXPECT_EQ(opaque, 400);

    // Column 10 at phase 10: angle 0, no shift; column 20 at phase 10: angle -10 degrees, up by 1 row.
    WaveSprite::displace(padded, -6, 370);
    EXPECT_EQ(std::vector<uint32_t>(padded->getPixels(), padded->getPixels() + 60 * 22), flat);
    WaveSprite::displace(padded, 6, 10);
    EXPECT_EQ(padded->getPixels()[6 * 60 + 10], 0xFF123456u);
    EXPECT_EQ(padded->getPixels()[5 * 60 + 20], 0xFF123456u);
    EXPECT_EQ(padded->getPixels()[15 * 60 + 20], 0u);

    WaveSprite none;
    EXPECT_FALSE(none.initFromDefinition(*images({}), *ints({0, 0})));
}
