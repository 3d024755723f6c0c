// The class registry: registration records, case-sensitive look-up, factories.
#include "runtime/Class.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>

using namespace lang;

namespace {

struct Sprite : Object {
    LANG_CLASS(Sprite, Object)
};
struct FancySprite : Sprite {
    LANG_CLASS(FancySprite, Sprite)
};

const ClassRecord<Sprite> spriteClass("Sprite");
const ClassRecord<FancySprite> fancyClass("FancySprite");

} // namespace

TEST(Class, ForNameIsCaseSensitiveAndBorrowed) {
    EXPECT_EQ(Class::forName("sprite"), nullptr);
    Class* c = Class::forName("Sprite");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->getName(), "Sprite");
    EXPECT_EQ(c->refCount(), 2); // its own and the registry's: forName adds none
    EXPECT_EQ(Class::forName("Nothing"), nullptr);
}

TEST(Class, NewInstanceMakesTheClassWithOneReference) {
    Ref<Object> o = adopt(Class::forName("FancySprite")->newInstance());
    EXPECT_EQ(o->refCount(), 1);
    EXPECT_STREQ(o->getClassName(), "FancySprite");
    EXPECT_TRUE(o->instanceOf("sprite"));
    EXPECT_TRUE(o->instanceOf("FANCYSPRITE"));
    EXPECT_FALSE(o->instanceOf("Fancy"));
}

TEST(Class, AScopedRecordUnregistersItself) {
    const int32_t before = Class::registeredCount();
    {
        ClassRecord<Sprite> temporary("TemporarySprite");
        EXPECT_EQ(Class::registeredCount(), before + 1);
        EXPECT_EQ(Class::forName("TemporarySprite"), &temporary);
    }
    EXPECT_EQ(Class::registeredCount(), before);
    EXPECT_EQ(Class::forName("TemporarySprite"), nullptr);
    {
        // A second record under a taken name shadows the first until it goes.
        ClassRecord<FancySprite> shadow("Sprite");
        EXPECT_EQ(Class::forName("Sprite"), &shadow);
    }
    EXPECT_EQ(Class::forName("Sprite"), &spriteClass);
}
