// Sprite: the dirty-rectangle protocol, bounds, clipping, opaque hits, cloning and class registration.
#include "SpriteTestSupport.h"

#include "runtime/Class.h"
#include "sprites/SpriteClasses.h"

#include <gtest/gtest.h>

using namespace lang;
using namespace mph;
using namespace spritetest;

TEST(Sprite, MoveCollectsOldAndNewAreaOnceAtTheNextTick) {
    Sprite s;
    auto img = solidImage(50, 50, 0xFF000000u);
    s.setImage(img.get());
    tick(s, 0);
    s.setLocation(100, 0);
    Rectangle rect;
    EXPECT_TRUE(s.step(1, rect));
    EXPECT_TRUE(rect.sameAs(0, 0, 150, 50)) << rect.toString().c_str();
    Rectangle again;
    EXPECT_FALSE(s.step(1, again));
    EXPECT_EQ(again.width, 0);
    EXPECT_TRUE(s.isPaintVisible());
}

TEST(Sprite, VisibilityRecordsOnlyVisibleAreas) {
    Sprite s;
    auto img = solidImage(10, 10, 0xFF000000u);
    s.setImage(img.get());
    tick(s, 0);
    s.setVisible(true); // the current value records nothing
    EXPECT_FALSE(s.isDirty());
    s.setVisible(false);
    EXPECT_TRUE(tick(s, 1).sameAs(0, 0, 10, 10));
    EXPECT_FALSE(s.isPaintVisible());
    s.setLocation(40, 40); // hidden: nothing recorded
    s.setUserValue(3);
    EXPECT_FALSE(s.isDirty());
    s.setVisible(true);
    EXPECT_TRUE(tick(s, 2).sameAs(40, 40, 10, 10));
    s.setExclusion(nullptr);
    s.setShadow(1, 1, true);
    EXPECT_FALSE(s.isDirty());
}

TEST(Sprite, ClipCutsBoundsAndAClipOutsideRecordsNothing) {
    Sprite s;
    auto img = solidImage(20, 20, 0xFF000000u);
    s.setImage(img.get());
    tick(s, 0);
    Rectangle partial(10, 5, 100, 100);
    s.setClip(&partial);
    tick(s, 1);
    EXPECT_TRUE(s.getBounds().sameAs(10, 5, 10, 15));
    Ref<Rectangle> clip = s.getClip();
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->refCount(), 2);

    Rectangle outside(500, 500, 5, 5);
    s.setClip(&outside);
    tick(s, 2);
    EXPECT_EQ(s.getBounds().width, 0);
    s.setLocation(3, 3);
    EXPECT_FALSE(s.isDirty());
    s.setClip(nullptr);
    EXPECT_FALSE(s.getClip());
    EXPECT_TRUE(tick(s, 3).sameAs(3, 3, 20, 20));
}

TEST(Sprite, SizeWithoutImageAndNoSize) {
    Sprite s;
    EXPECT_EQ(s.getBounds().width, 0);
    auto img = solidImage(8, 6, 0xFF000000u);
    s.setImage(img.get());
    s.setImage(nullptr); // keeps the size
    EXPECT_TRUE(s.getBounds().sameAs(0, 0, 8, 6));
    EXPECT_TRUE(s.contains(7, 5));
    EXPECT_FALSE(s.contains(8, 5));
}

TEST(Sprite, HitOpaqueAndOpaqueEdges) {
    Sprite s;
    auto img = solidImage(4, 4, 0u);
    img->getPixels()[1 * 4 + 2] = 0x80FFFFFFu; // (2, 1)
    img->getPixels()[3 * 4 + 2] = 0x10FFFFFFu; // (2, 3), faint
    s.setImage(img.get());
    s.setLocation(10, 20);
    EXPECT_TRUE(s.hitOpaque(12, 21));
    EXPECT_TRUE(s.hitOpaque(12, 23));
    EXPECT_FALSE(s.hitOpaque(11, 21));
    EXPECT_FALSE(s.hitOpaque(9, 21));
    EXPECT_FALSE(s.hitOpaque(14, 21));

    int32_t x = 12, y = 0;
    EXPECT_TRUE(s.findOpaqueEdge(x, y, 'T', 1));
    EXPECT_EQ(y, 21);
    EXPECT_TRUE(s.findOpaqueEdge(x, y, 'B', 1));
    EXPECT_EQ(y, 23);
    EXPECT_TRUE(s.findOpaqueEdge(x, y, 'B', 0x20));
    EXPECT_EQ(y, 21);
    x = 0;
    y = 21;
    EXPECT_TRUE(s.findOpaqueEdge(x, y, 'R', 1));
    EXPECT_EQ(x, 12);
    x = 77;
    y = 22; // an empty row leaves the values alone
    EXPECT_FALSE(s.findOpaqueEdge(x, y, 'L', 1));
    EXPECT_EQ(x, 77);
    EXPECT_FALSE(s.findOpaqueEdge(x, y, 'Q', 1));
    x = 500; // a column outside the picture finds nothing, even with threshold 0
    EXPECT_FALSE(s.findOpaqueEdge(x, y, 'T', 0));
}

TEST(Sprite, TintAndOpacity) {
    Sprite s;
    EXPECT_FALSE(s.hasFancyHelper());
    EXPECT_EQ(s.getOpacity(), 128);
    auto img = solidImage(5, 5, 0xFF000000u);
    s.setImage(img.get());
    tick(s, 0);
    s.setTint(64, 128, 100, 128);
    EXPECT_TRUE(s.isDirty());
    EXPECT_EQ(s.getOpacity(), 64);
    EXPECT_EQ(s.fancyHelper().greenScale, 100);
}

TEST(Sprite, CloneCopiesPictureAndClipButNotPosition) {
    Sprite s;
    auto img = solidImage(5, 5, 0xFF000000u);
    s.setImage(img.get());
    s.setLocation(9, 9);
    s.setUserValue(4);
    Rectangle clip(0, 0, 3, 3);
    s.setClip(&clip);
    Ref<Sprite> copy = adopt(s.clone());
    EXPECT_EQ(copy->getImage(), img.get());
    EXPECT_EQ(copy->getX(), 0);
    EXPECT_EQ(copy->getUserValue(), 0);
    ASSERT_TRUE(copy->getClip());
    EXPECT_NE(copy->getClip().get(), s.getClip().get());
    EXPECT_TRUE(copy->getBounds().sameAs(0, 0, 3, 3));
}

TEST(Sprite, DefinitionAndRegistry) {
    EXPECT_EQ(registerSpriteClasses(), 11);
    for (const char* name : {"Sprite", "AnimateSprite", "TextSprite", "NumberSprite", "RichTTYSprite",
                             "ButtonSprite", "RectButtonSprite", "FancyContainer", "DialogSprite", "TiledSprite",
                             "WaveSprite"}) {
        Class* c = Class::forName(name);
        ASSERT_NE(c, nullptr) << name;
        Ref<Object> obj = adopt(c->newInstance());
        EXPECT_TRUE(obj->instanceOf(name));
        EXPECT_TRUE(obj->instanceOf("spritebase"));
    }
    Ref<Object> dialog = adopt(Class::forName("DialogSprite")->newInstance());
    EXPECT_TRUE(dialog->instanceOf("FancyContainer"));

    Sprite s;
    auto img = solidImage(7, 3, 0xFF000000u);
    EXPECT_TRUE(s.initFromDefinition(*images({img.get()}), *ints({12, 34})));
    EXPECT_EQ(s.getX(), 12);
    EXPECT_EQ(s.getWidth(), 7);
    Sprite bare;
    EXPECT_FALSE(bare.initFromDefinition(*images({}), *ints({1})));
    EXPECT_TRUE(bare.initFromDefinition(*images({}), *ints({1, 2})));
    EXPECT_EQ(bare.getImage(), nullptr);
}
