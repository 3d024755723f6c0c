// FancyContainer and DialogSprite: children's dirty areas, fading out, presses and hover routing.
#include "SpriteTestSupport.h"

#include "runtime/Hashtable.h"
#include "sprites/DialogSprite.h"
#include "sprites/RectButtonSprite.h"

#include <gtest/gtest.h>

using namespace lang;
using namespace mph;
using namespace spritetest;

namespace {

Ref<DialogSprite> dialog(int32_t x, int32_t y, int32_t w, int32_t h, int32_t modal) {
    auto d = make<DialogSprite>();
    EXPECT_TRUE(d->initFromDefinition(*images({}), *ints({x, y, w, h, modal})));
    return d;
}

Ref<RectButtonSprite> hotSpot(int32_t x, int32_t y, int32_t w, int32_t h, int32_t state) {
    auto b = make<RectButtonSprite>();
    EXPECT_TRUE(b->initFromDefinition(*images({}), *ints({x, y, w, h, state})));
    return b;
}

} // namespace

TEST(FancyContainer, ChildChangesAreCutToTheContainerAndShifted) {
    FancyContainer c;
    ASSERT_TRUE(c.initFromDefinition(*images({}), *ints({100, 50, 40, 30})));
    auto img = solidImage(10, 10, 0xFF000000u);
    auto child = make<Sprite>();
    child->setImage(img.get());
    EXPECT_TRUE(c.addChild(child.get()));
    EXPECT_FALSE(c.addChild(img.get()));
    tick(c, 0);
    c.paint(nullptr); // nothing to paint on, but the local area is consumed

    child->setLocation(35, 25); // half outside
    Rectangle rect;
    ASSERT_TRUE(c.update(1, rect, nullptr));
    EXPECT_TRUE(c.getLocalDirty().sameAs(0, 0, 40, 30)) << c.getLocalDirty().toString().c_str();
    // The union of the old place (0, 0, 10, 10) and the part of the new one inside (35, 25, 5, 5).
    EXPECT_TRUE(rect.sameAs(100, 50, 40, 30)) << rect.toString().c_str();
}

TEST(FancyContainer, ChangesAtTheEndOfTheCoordinateRangeStayInIt) {
    // A damaged definition's corner saturates at the end of the range; a child left of and above it
    // must not wrap round to the other end.
    FancyContainer c;
    ASSERT_TRUE(c.initFromDefinition(*images({}), *ints({INT32_MIN, INT32_MIN, 40, 30})));
    auto img = solidImage(10, 10, 0xFF000000u);
    auto child = make<Sprite>();
    child->setImage(img.get());
    child->setLocation(-10, -10);
    c.addChild(child.get());
    tick(c, 0);
    child->setLocation(20, 20);
    const Rectangle rect = tick(c, 1);
    EXPECT_TRUE(rect.sameAs(INT32_MIN, INT32_MIN, 40, 40)) << rect.toString().c_str();
}

TEST(FancyContainer, HiddenContainerRecordsNothingAndShowingRepaintsAll) {
    FancyContainer c;
    ASSERT_TRUE(c.initFromDefinition(*images({}), *ints({10, 10, 50, 50})));
    auto img = solidImage(5, 5, 0xFF000000u);
    auto child = make<Sprite>();
    child->setImage(img.get());
    c.addChild(child.get());
    c.setVisible(false);
    tick(c, 0);
    child->setLocation(20, 20);
    EXPECT_EQ(tick(c, 1).width, 0);
    c.setVisible(true);
    EXPECT_TRUE(tick(c, 2).sameAs(10, 10, 50, 50));
}

TEST(FancyContainer, AddChildTwiceMovesItToTheTop) {
    FancyContainer c;
    auto a = make<Sprite>();
    auto b = make<Sprite>();
    c.addChild(a.get());
    c.addChild(b.get());
    c.addChild(a.get());
    ASSERT_EQ(c.getChildCount(), 2);
    EXPECT_EQ(c.getChild(0), b.get());
    EXPECT_EQ(c.getChild(1), a.get());
    EXPECT_EQ(c.getChild(2), nullptr);
    EXPECT_EQ(a->refCount(), 2);
}

TEST(FancyContainer, HideWithFadeEndsOnTheSeventhTick) {
    FancyContainer c;
    ASSERT_TRUE(c.initFromDefinition(*images({}), *ints({0, 0, 20, 20})));
    tick(c, 0);
    c.hideWithFade();
    c.hideWithFade(); // fades once
    int32_t ticks = 0;
    while (c.isVisible() && ticks < 20) {
        tick(c, ++ticks);
        if (c.isVisible()) {
            EXPECT_EQ(c.getOpacity(), 128 - 20 * ticks);
        }
    }
    EXPECT_EQ(ticks, 7);
    EXPECT_FALSE(c.isFadingOut());
}

TEST(DialogSprite, PressesResolveToButtonNames) {
    auto d = dialog(100, 100, 200, 100, 1);
    auto ok = hotSpot(10, 10, 50, 20, 1);
    auto off = hotSpot(100, 10, 50, 20, 0);
    d->addChild(ok.get());
    d->addChild(off.get());
    auto names = make<Hashtable>();
    names->put("bok", ok.get());
    names->put("boff", off.get());
    d->onLoaded(names.get());
    tick(*d, 0);

    EXPECT_EQ(d->findChild("bok"), ok.get());
    EXPECT_EQ(d->findChild("nothing"), nullptr);
    EXPECT_EQ(d->mouseDown(115, 115), DialogSprite::ButtonPressed);
    EXPECT_EQ(d->getLastClicked(), "bok");
    EXPECT_EQ(d->mouseDown(205, 115), DialogSprite::Consumed); // disabled button
    EXPECT_TRUE(d->getLastClicked().isEmpty());
    EXPECT_EQ(d->mouseDown(5, 5), DialogSprite::Consumed); // modal: outside is swallowed
    d->setModal(false);
    EXPECT_EQ(d->mouseDown(5, 5), DialogSprite::NotHandled);
    d->setVisible(false);
    EXPECT_EQ(d->mouseDown(115, 115), DialogSprite::NotHandled);
    EXPECT_EQ(d->mouseUp(115, 115), DialogSprite::NotHandled);

    auto bare = dialog(0, 0, 10, 10, 0);
    tick(*bare, 0);
    EXPECT_EQ(bare->mouseDown(5, 5), DialogSprite::Consumed);
}

TEST(DialogSprite, MoveTracksEveryButtonAndEntersNestedDialogs) {
    auto outer = dialog(0, 0, 400, 300, 0);
    auto under = hotSpot(10, 10, 100, 100, 1);
    auto inner = dialog(50, 50, 100, 100, 0);
    auto innerButton = hotSpot(0, 0, 20, 20, 1);
    inner->addChild(innerButton.get());
    outer->addChild(under.get());
    outer->addChild(inner.get());
    tick(*outer, 0);

    // Over the nested dialog's button: it hovers, and so does the button under the dialog (every
    // button is tracked), but only the nested result counts.
    EXPECT_TRUE(outer->mouseMove(55, 55));
    EXPECT_EQ(innerButton->getState(), ButtonSprite::Hover);
    EXPECT_EQ(under->getState(), ButtonSprite::Hover);
    // Inside the nested dialog but off its button; the button under it is still hovered yet not reported.
    EXPECT_FALSE(outer->mouseMove(100, 100));
    EXPECT_EQ(innerButton->getState(), ButtonSprite::Normal);
    EXPECT_EQ(under->getState(), ButtonSprite::Hover);
    EXPECT_FALSE(outer->mouseMove(300, 250));
    EXPECT_EQ(under->getState(), ButtonSprite::Normal);
}

TEST(DialogSprite, HiddenDialogsDropHoverAndPrepareAgainWhenShown) {
    auto d = dialog(0, 0, 100, 100, 0);
    auto b = hotSpot(0, 0, 10, 10, 1);
    d->addChild(b.get());
    tick(*d, 0);
    b->track(5, 5);
    EXPECT_EQ(b->getState(), ButtonSprite::Hover);
    d->setVisible(false);
    tick(*d, 1);
    EXPECT_FALSE(d->isPrepared());
    EXPECT_EQ(b->getState(), ButtonSprite::Normal);
    d->setVisible(true);
    tick(*d, 2);
    EXPECT_TRUE(d->isPrepared());
}
