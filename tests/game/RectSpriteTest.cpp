// RectSprite: the blend of its colour over a picture surface, clipped, and its definitions.
#include "sprites/SpriteTestSupport.h"

#include "game/GameClasses.h"
#include "game/RectSprite.h"
#include "gfx/GraphicsI.h"

#include <gtest/gtest.h>

using namespace lang;
using namespace mph;
using namespace spritetest;

TEST(RectSprite, BlendsByTheColoursAlphaInsideTheClip) {
    auto target = solidImage(6, 1, 0xFFFFFFFFu);
    Ref<GraphicsI> surface = adopt(new GraphicsI(target.get()));
    RectSprite dim(1, 0, 4, 1, RectSprite::kDefaultColour);
    tick(dim, 0);
    {
        Ref<Graphics> sub = adopt(surface->create());
        sub->clipRect(0, 0, 4, 1);
        dim.paint(sub.get());
        sub->dispose();
    }
    const uint32_t* px = target->getPixels();
    // (255 x 127 + 0 x 128) / 256 = 126.
    EXPECT_EQ(px[0], 0xFFFFFFFFu);
    EXPECT_EQ(px[1], 0xFF7E7E7Eu);
    EXPECT_EQ(px[3], 0xFF7E7E7Eu);
    EXPECT_EQ(px[4], 0xFFFFFFFFu); // outside the surface's clip

    RectSprite solid(0, 0, 6, 1, 0xFF123456u);
    tick(solid, 0);
    solid.paint(surface.get());
    EXPECT_EQ(px[5], 0xFF123456u);
    surface->dispose();
}

TEST(RectSprite, DefinitionGivesRectangleAndColour) {
    registerGameClasses();
    Ref<Object> made = adopt(Class::forName("RectSprite")->newInstance());
    auto* rect = static_cast<RectSprite*>(made.get());
    EXPECT_FALSE(rect->initFromDefinition(*images({}), *ints({1, 2, 3})));
    EXPECT_TRUE(rect->initFromDefinition(*images({}), *ints({1, 2, 30, 40})));
    EXPECT_EQ(rect->getColour(), 0x80000000u);
    EXPECT_TRUE(rect->getBounds().sameAs(1, 2, 30, 40));
    EXPECT_TRUE(rect->initFromDefinition(*images({}), *ints({1, 2, 30, 40, int32_t(0xC0102030u)})));
    EXPECT_EQ(rect->getColour(), 0xC0102030u);
}
