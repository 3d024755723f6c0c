// Buttons: state cells, enabling, hover tracking and the rectangular hot spot.
#include "SpriteTestSupport.h"

#include "sprites/RectButtonSprite.h"

#include <gtest/gtest.h>

using namespace lang;
using namespace mph;
using namespace spritetest;

namespace {

// A 5-cell button at (100, 100), each cell 20 x 10; cells: hover 2, normal 1, disabled as given.
Ref<ButtonSprite> button(int32_t disabledCell, Ref<Image>& keep, int32_t state = 1) {
    keep = solidImage(100, 10, 0xFF000000u);
    auto b = make<ButtonSprite>();
    EXPECT_TRUE(b->initFromDefinition(*images({keep.get()}), *ints({100, 100, 5, 1, 2, 1, disabledCell, state})));
    return b;
}

} // namespace

TEST(ButtonSprite, DisabledCellMinusOneHidesAndEnablingShowsNormal) {
    Ref<Image> img;
    auto b = button(-1, img);
    EXPECT_EQ(b->getFrame(), 1);
    b->setEnabled(false);
    EXPECT_FALSE(b->isVisible());
    EXPECT_EQ(b->getState(), ButtonSprite::Disabled);
    EXPECT_FALSE(b->track(105, 105));
    EXPECT_FALSE(b->isClickable(105, 105));
    b->setEnabled(true);
    EXPECT_TRUE(b->isVisible());
    EXPECT_EQ(b->getFrame(), 1);
    EXPECT_TRUE(b->isClickable(105, 105));
}

TEST(ButtonSprite, HoverAndSelectedStates) {
    Ref<Image> img;
    auto b = button(0, img);
    EXPECT_TRUE(b->track(110, 105));
    EXPECT_EQ(b->getState(), ButtonSprite::Hover);
    EXPECT_EQ(b->getFrame(), 2);
    EXPECT_FALSE(b->track(10, 10));
    EXPECT_EQ(b->getState(), ButtonSprite::Normal);

    b->setStateCells(2, 1, 0, 3, -1);
    b->setState(ButtonSprite::Selected);
    EXPECT_TRUE(b->track(110, 105)); // no selected-hover cell: stays selected
    EXPECT_EQ(b->getState(), ButtonSprite::Selected);
    b->setEnabled(true);
    EXPECT_EQ(b->getState(), ButtonSprite::Selected);

    b->setStateCells(2, 1, 0, 3, 4);
    EXPECT_TRUE(b->track(110, 105));
    EXPECT_EQ(b->getState(), ButtonSprite::SelectedHover);
    EXPECT_EQ(b->getFrame(), 4);
    b->unloadImage(); // a hidden dialog drops hover
    EXPECT_EQ(b->getState(), ButtonSprite::Selected);
    EXPECT_TRUE(b->track(110, 105));
    EXPECT_FALSE(b->track(0, 0));
    EXPECT_EQ(b->getState(), ButtonSprite::Selected);

    b->setState(7); // not a state: ignored
    EXPECT_EQ(b->getState(), ButtonSprite::Selected);
    ButtonSprite few;
    EXPECT_FALSE(few.initFromDefinition(*images({img.get()}), *ints({0, 0, 5, 1, 2, 1})));
}

TEST(RectButtonSprite, HotSpotNeverRecordsDirtyAreas) {
    RectButtonSprite r;
    EXPECT_FALSE(r.initFromDefinition(*images({}), *ints({1, 2, 3})));
    ASSERT_TRUE(r.initFromDefinition(*images({}), *ints({10, 20, 30, 40, 1})));
    EXPECT_TRUE(r.getBounds().sameAs(10, 20, 30, 40));
    EXPECT_TRUE(r.contains(10, 20));
    EXPECT_FALSE(r.contains(40, 20));
    EXPECT_TRUE(r.track(39, 59));
    EXPECT_EQ(r.getState(), ButtonSprite::Hover);
    EXPECT_FALSE(r.isDirty());
    EXPECT_EQ(tick(r, 0).width, 0);
}
