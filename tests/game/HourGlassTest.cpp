// HourGlass: the sand rows shown for an amount, no sand without a full amount or while turning, the turn.
#include "sprites/SpriteTestSupport.h"

#include "game/GameClasses.h"
#include "game/HourGlass.h"
#include "gfx/GraphicsI.h"

#include <gtest/gtest.h>

#include <utility>

using namespace lang;
using namespace mph;
using namespace spritetest;

namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;

// A clear glass of three 50 x 130 cells, 4 x 10 sand pictures: red on top, green below.
struct Glass {
    Glass()
        : glass(solidImage(150, 130, 0u)), top(solidImage(4, 10, kRed)), bottom(solidImage(4, 10, kGreen)) {
        registerGameClasses();
        made = adopt(Class::forName("HourGlass")->newInstance());
        sprite = static_cast<HourGlass*>(made.get());
        EXPECT_TRUE(
            sprite->initFromDefinition(*images({glass.get(), top.get(), bottom.get()}), *ints({0, 0, 3, 1})));
    }
    // The first and last row of column x painted in argb, or (-1, -1).
    std::pair<int32_t, int32_t> rows(int32_t x, uint32_t argb) {
        auto target = solidImage(60, 140, kBlack);
        Ref<GraphicsI> surface = adopt(new GraphicsI(target.get()));
        sprite->paint(surface.get());
        surface->dispose();
        std::pair<int32_t, int32_t> found{-1, -1};
        for (int32_t y = 0; y < 140; ++y) {
            if (target->getPixels()[y * 60 + x] != argb) continue;
            if (found.first < 0) found.first = y;
            found.second = y;
        }
        return found;
    }
    Ref<Image> glass, top, bottom;
    Ref<Object> made;
    HourGlass* sprite = nullptr;
};

using Rows = std::pair<int32_t, int32_t>;

} // namespace

TEST(HourGlass, SandRowsFollowTheAmount) {
    Glass g;
    EXPECT_EQ(g.sprite->getAmount(), 50);
    EXPECT_EQ(g.sprite->getFullAmount(), 100);
    g.sprite->setAmount(25);
    tick(*g.sprite, 0);
    // Upper: trunc(sqrt(0.25) x 10) = 5 rows, the bottom half of the picture at y 48 + 5.
    EXPECT_EQ(g.rows(36, kRed), Rows(53, 57));
    EXPECT_EQ(g.rows(40, kRed), Rows(-1, -1));
    // Lower: trunc(sqrt(0.75) x 10) = 8 rows, pushed down to 106 + 10 - 8 and cut at the bulb's end.
    EXPECT_EQ(g.rows(34, kGreen), Rows(108, 115));
    EXPECT_EQ(g.rows(38, kGreen), Rows(-1, -1));

    g.sprite->setAmount(100);
    EXPECT_EQ(g.rows(36, kRed), Rows(48, 57));
    EXPECT_EQ(g.rows(34, kGreen), Rows(-1, -1));

    g.sprite->setFullAmount(0);
    EXPECT_EQ(g.rows(36, kRed), Rows(-1, -1));
    EXPECT_EQ(g.rows(34, kGreen), Rows(-1, -1));
}

TEST(HourGlass, TurnsThroughItsFramesBackToUpright) {
    Glass g;
    g.sprite->startTurning();
    tick(*g.sprite, 0);
    EXPECT_EQ(g.sprite->getFrame(), 1);
    EXPECT_EQ(g.rows(36, kRed), Rows(-1, -1)); // no sand while turning
    tick(*g.sprite, 1);
    EXPECT_EQ(g.sprite->getFrame(), 2);
    EXPECT_TRUE(g.sprite->isTurning());
    tick(*g.sprite, 2);
    EXPECT_EQ(g.sprite->getFrame(), 0);
    EXPECT_FALSE(g.sprite->isTurning());
    tick(*g.sprite, 3);
    EXPECT_EQ(g.sprite->getFrame(), 0);
    EXPECT_NE(g.rows(36, kRed).first, -1);
}
