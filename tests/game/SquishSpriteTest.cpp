// SquishSprite: copying its source, the shrinking size, the anchored placement and the end of the squish.
#include "sprites/SpriteTestSupport.h"

#include "game/GameClasses.h"
#include "game/SquishSprite.h"
#include "gfx/GraphicsI.h"
#include "sprites/AnimateSprite.h"

#include <gtest/gtest.h>

#include <string>

using namespace lang;
using namespace mph;
using namespace spritetest;

namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;

// A 40 x 20 grid of two 20 x 20 cells, red then green, with a source showing the green one at (50, 60).
struct Source {
    Source() : picture(solidImage(40, 20, kRed)) {
        for (int32_t y = 0; y < 20; ++y) {
            for (int32_t x = 20; x < 40; ++x)
                picture->getPixels()[y * 40 + x] = kGreen;
        }
        sprite.setImageGrid(picture.get(), 2, 1);
        sprite.setFrame(1);
        sprite.setLocation(50, 60);
    }
    Ref<Image> picture;
    AnimateSprite sprite;
};

// The painted green area's box on a black 100 x 100 target.
Rectangle paintedBox(SquishSprite& s) {
    auto target = solidImage(100, 100, kBlack);
    Ref<GraphicsI> surface = adopt(new GraphicsI(target.get()));
    s.paint(surface.get());
    surface->dispose();
    int32_t x0 = 100, y0 = 100, x1 = -1, y1 = -1;
    for (int32_t y = 0; y < 100; ++y) {
        for (int32_t x = 0; x < 100; ++x) {
            const uint32_t p = target->getPixels()[y * 100 + x];
            if (p == kBlack) continue;
            EXPECT_EQ(p, kGreen);
            x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
    }
    return x1 < 0 ? Rectangle() : Rectangle(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
}

} // namespace

TEST(SquishSprite, ShrinksTowardsTheCentreAndEndsAfterSeventeenSteps) {
    Source source;
    SquishSprite s;
    EXPECT_FALSE(s.isVisible());
    s.start(source.sprite, 0.06, 0.06, 0);
    EXPECT_TRUE(s.isVisible());
    EXPECT_EQ(s.getFrame(), 1);
    EXPECT_EQ(s.getX(), 50);
    EXPECT_EQ(s.getWidth(), 20);
    tick(s, 0);
    EXPECT_TRUE(paintedBox(s).sameAs(51, 61, 18, 18)); // trunc(20 x 0.94)

    // Five steps: 1 - 5 x 0.06 lies just below 0.7, so 20 pixels become 13, centred at +3.
    for (int32_t t = 1; t <= 4; ++t)
        tick(s, t);
    EXPECT_TRUE(paintedBox(s).sameAs(53, 63, 13, 13));
    for (int32_t t = 5; t <= 15; ++t)
        tick(s, t);
    EXPECT_TRUE(s.isVisible());
    EXPECT_TRUE(s.isSquishing());
    tick(s, 16);
    EXPECT_FALSE(s.isVisible());
    EXPECT_FALSE(s.isSquishing());
    EXPECT_EQ(s.getScaleX(), 1.0);
}

TEST(SquishSprite, AnchorsKeepTheirEdges) {
    Source source;
    SquishSprite s;
    s.start(source.sprite, 0.5, 0.25, SquishSprite::kAnchorRight | SquishSprite::kAnchorTop);
    tick(s, 0);
    EXPECT_TRUE(paintedBox(s).sameAs(60, 60, 10, 15));
    s.setAnchor(SquishSprite::kAnchorLeft | SquishSprite::kAnchorBottom);
    EXPECT_TRUE(paintedBox(s).sameAs(50, 65, 10, 15));
}

TEST(SquishSprite, DefinitionTakesTheAnchorAfterTheAnimationNumbers) {
    registerGameClasses();
    Source source;
    Ref<Object> made = adopt(Class::forName("SquishSprite")->newInstance());
    auto* s = static_cast<SquishSprite*>(made.get());
    EXPECT_TRUE(s->initFromDefinition(*images({source.picture.get()}), *ints({1, 2, 2, 1, 0, 0, 0, 0, 9})));
    EXPECT_EQ(s->getAnchor(), 9);
    EXPECT_FALSE(s->isVisible()); // shown only by start()
    EXPECT_TRUE(s->initFromDefinition(*images({source.picture.get()}), *ints({1, 2, 2, 1, 1, 6})));
    EXPECT_EQ(s->getAnchor(), 6);
    EXPECT_EQ(s->getFrame(), 1);
}
