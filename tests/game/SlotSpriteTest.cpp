// SlotSprite: the highlight pulse, the tint blended under the picture, and sizes from definitions.
#include "sprites/SpriteTestSupport.h"

#include "game/GameClasses.h"
#include "game/SlotSprite.h"
#include "gfx/GraphicsI.h"

#include <gtest/gtest.h>

using namespace lang;
using namespace mph;
using namespace spritetest;

TEST(SlotSprite, PulseRunsBetween64And160Every32Ticks) {
    EXPECT_EQ(SlotSprite::pulseAlpha(0), 160u);
    EXPECT_EQ(SlotSprite::pulseAlpha(8), 112u);
    EXPECT_EQ(SlotSprite::pulseAlpha(16), 64u);
    EXPECT_EQ(SlotSprite::pulseAlpha(24), 112u);
    EXPECT_EQ(SlotSprite::pulseAlpha(32), 160u);
    EXPECT_EQ(SlotSprite::pulseAlpha(-8), 112u);
}

TEST(SlotSprite, HighlightBlendsTheTintUnderThePicture) {
    registerGameClasses();
    Ref<Object> made = adopt(Class::forName("SlotSprite")->newInstance());
    auto* slot = static_cast<SlotSprite*>(made.get());
    EXPECT_TRUE(slot->initFromDefinition(*images({}), *ints({1, 0, 3, 2})));
    EXPECT_EQ(slot->getWidth(), 3);
    EXPECT_EQ(slot->getHeight(), 2);
    EXPECT_EQ(slot->getTintColour(), 0x80FFFFFFu);

    // The game's picture: one opaque red pixel in a clear 3 x 2 picture.
    auto picture = solidImage(3, 2, 0u);
    picture->getPixels()[2] = 0xFFFF0000u;
    slot->setImage(picture.get());
    tick(*slot, 0);
    slot->setHighlighted(true);
    EXPECT_GT(tick(*slot, 8).width, 0);
    EXPECT_EQ(slot->getTintColour(), 0x70FFFFFFu);

    auto target = solidImage(5, 2, 0xFF204060u);
    Ref<GraphicsI> surface = adopt(new GraphicsI(target.get()));
    slot->paint(surface.get());
    surface->dispose();
    const uint32_t* px = target->getPixels();
    // (dst x 143 + 255 x 112) / 256 per channel.
    EXPECT_EQ(px[1], 0xFF8193A5u);
    EXPECT_EQ(px[3], 0xFFFF0000u); // the picture over the tint
    EXPECT_EQ(px[0], 0xFF204060u);
    EXPECT_EQ(px[4], 0xFF204060u);
    EXPECT_EQ(px[5 + 2], 0xFF8193A5u);

    slot->setHighlighted(false);
    EXPECT_GT(tick(*slot, 9).width, 0);
    EXPECT_EQ(tick(*slot, 10).width, 0); // no pulse while not highlighted
}
