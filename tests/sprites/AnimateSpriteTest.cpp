// AnimateSprite: frame stepping on the tick clock, ping-pong, one-shot runs, glides and fades.
#include "SpriteTestSupport.h"

#include "sprites/AnimateSprite.h"

#include <gtest/gtest.h>

#include <vector>

using namespace lang;
using namespace mph;
using namespace spritetest;

namespace {

// A strip of n cells of 10 x 10.
Ref<AnimateSprite> strip(int32_t n, Ref<Image>& keep) {
    keep = solidImage(10 * n, 10, 0xFF000000u);
    auto s = make<AnimateSprite>();
    s->setImageGrid(keep.get(), n, 1);
    return s;
}

std::vector<int32_t> frames(AnimateSprite& s, int32_t first, int32_t count) {
    std::vector<int32_t> seen;
    for (int32_t t = first; t < first + count; ++t) {
        tick(s, t);
        seen.push_back(s.getFrame());
    }
    return seen;
}

} // namespace

TEST(AnimateSprite, DelayAdvancesOnMultiplesOnlyAndLoopsWrap) {
    Ref<Image> img;
    auto s = strip(4, img);
    s->setDelay(3);
    s->setStep(1, true);
    EXPECT_EQ(frames(*s, 0, 8), (std::vector<int32_t>{1, 1, 1, 2, 2, 2, 3, 3}));
    EXPECT_EQ(frames(*s, 8, 2), (std::vector<int32_t>{3, 0})); // tick 9 wraps from the last cell to 0
    EXPECT_FALSE(s->isBusy());

    auto back = strip(4, img);
    back->setStep(-1, true);
    EXPECT_EQ(frames(*back, 0, 3), (std::vector<int32_t>{3, 2, 1}));
}

TEST(AnimateSprite, PingPongShowsEndCellsTwice) {
    Ref<Image> img;
    auto s = strip(4, img);
    s->setPingPong(true);
    s->setStep(1, true);
    std::vector<int32_t> seen{s->getFrame()};
    for (int32_t f : frames(*s, 0, 9)) seen.push_back(f);
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 1, 2, 3, 3, 2, 1, 0, 0, 1}));
}

TEST(AnimateSprite, OneShotStopsOnLastCellAndClearsBusy) {
    Ref<Image> img;
    auto s = strip(4, img);
    s->setStep(1, false);
    EXPECT_TRUE(s->isBusy());
    EXPECT_EQ(frames(*s, 0, 3), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_TRUE(s->isBusy());
    tick(*s, 3);
    EXPECT_EQ(s->getFrame(), 3);
    EXPECT_FALSE(s->isBusy());
    // At rest afterwards: nothing is recorded.
    EXPECT_EQ(tick(*s, 4).width, 0);
}

TEST(AnimateSprite, GlideDividesTheRemainingDistance) {
    Ref<Image> img;
    auto s = strip(1, img);
    tick(*s, 0);
    s->moveTo(100, 0, 4);
    std::vector<int32_t> xs;
    for (int32_t t = 1; t <= 4; ++t) {
        const Rectangle r = tick(*s, t);
        xs.push_back(s->getX());
        if (t < 4) {
            EXPECT_TRUE(s->isBusy());
        }
        EXPECT_GT(r.width, 0);
    }
    EXPECT_EQ(xs, (std::vector<int32_t>{25, 50, 75, 100}));
    EXPECT_FALSE(s->isBusy());

    // A plain move cancels the rest of a glide.
    s->moveTo(0, 0, 10);
    tick(*s, 5);
    s->setLocation(60, 7);
    EXPECT_EQ(s->getTargetX(), 60);
    tick(*s, 6);
    EXPECT_EQ(s->getX(), 60);
}

TEST(AnimateSprite, FadesReachTheirTarget) {
    Ref<Image> img;
    auto s = strip(1, img);
    s->setTint(128, 128, 128, 128);
    s->fadeTo(0, 0);
    tick(*s, 0);
    EXPECT_EQ(s->getOpacity(), 0);
    EXPECT_FALSE(s->isBusy());

    s->fadeTo(128, 4);
    std::vector<int32_t> seen;
    for (int32_t t = 1; t <= 4; ++t) {
        tick(*s, t);
        seen.push_back(s->getOpacity());
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{32, 64, 96, 128}));
    EXPECT_FALSE(s->isBusy());
}

TEST(AnimateSprite, FramesDefinitionsAndHits) {
    Ref<Image> img = solidImage(40, 20, 0u);
    img->getPixels()[10 * 40 + 25] = 0xFF000000u; // cell 2 of a 4 x 2 grid, local (5, 10)... row 1
    AnimateSprite s;
    EXPECT_FALSE(s.initFromDefinition(*images({img.get()}), *ints({0, 0, 4})));
    EXPECT_TRUE(s.initFromDefinition(*images({img.get()}), *ints({3, 4, 4, 2, -1})));
    EXPECT_FALSE(s.isVisible()); // frame -1 hides
    EXPECT_EQ(s.getFrame(), 0);
    EXPECT_EQ(s.getWidth(), 10);
    EXPECT_EQ(s.getHeight(), 10);
    s.setFrame(s.getFrameCount() + 5);
    EXPECT_EQ(s.getFrame(), 7);
    s.setFrame(6); // column 2, row 1: image pixel (25, 10) is local (5, 0)
    EXPECT_TRUE(s.hitOpaque(3 + 5, 4 + 0));
    EXPECT_FALSE(s.hitOpaque(3 + 4, 4 + 0));

    AnimateSprite zero;
    zero.setImageGrid(img.get(), 0, -3); // raised to one cell
    EXPECT_EQ(zero.getFrameCount(), 1);
    EXPECT_EQ(zero.getWidth(), 40);
    AnimateSprite huge; // more cells than a frame number counts: the picture uncut
    huge.setImageGrid(img.get(), 100000, 100000);
    EXPECT_EQ(huge.getFrameCount(), 1);
    EXPECT_EQ(huge.getWidth(), 40);

    AnimateSprite looping;
    EXPECT_TRUE(looping.initFromDefinition(*images({img.get()}), *ints({0, 0, 4, 2, 1, 2, 1, 1})));
    Ref<Sprite> copy = adopt(looping.clone());
    auto* twin = static_cast<AnimateSprite*>(copy.get());
    EXPECT_EQ(twin->getFrame(), 1);
    tick(*twin, 0);
    tick(*twin, 2);
    EXPECT_EQ(twin->getFrame(), 3);
}
