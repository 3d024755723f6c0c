// FocusNavigator: reading order over items whose rows are not quite level, Tab's wrap-around, and the
// arrows' moves between rows of unequal length.
#include "sprites/FocusNavigator.h"

#include <gtest/gtest.h>

using lang::Rectangle;
using mph::FocusAction;
using mph::FocusNavigator;

namespace {
// Two rows given out of order: the second row's items sit a few pixels lower or higher than each other.
const std::vector<Rectangle> kItems = {
    Rectangle(300, 104, 80, 40), // 0: row 2, right
    Rectangle(10, 10, 80, 40),   // 1: row 1, left
    Rectangle(150, 14, 80, 40),  // 2: row 1, middle (a little lower)
    Rectangle(20, 100, 80, 40),  // 3: row 2, left
    Rectangle(290, 8, 80, 40),   // 4: row 1, right
};
} // namespace

TEST(FocusNavigator, ReadsRowsLeftToRightAndStepsRound) {
    EXPECT_EQ(FocusNavigator::readingOrder(kItems), (std::vector<int32_t>{1, 2, 4, 3, 0}));
    EXPECT_EQ(FocusNavigator::step(kItems, 0, 1), 1) << "Tab on the last goes to the first";
    EXPECT_EQ(FocusNavigator::step(kItems, 1, -1), 0) << "Shift+Tab on the first goes to the last";
    EXPECT_EQ(FocusNavigator::step(kItems, 99, 1), 1) << "no current item: the first";
    EXPECT_EQ(FocusNavigator::step({}, 0, 1), -1);
}

TEST(FocusNavigator, ArrowsMoveAlongRowsAndToTheNearestAcross) {
    EXPECT_EQ(FocusNavigator::move(kItems, 4, FocusAction::Right), 3)
        << "on from a row's end to the next row";
    EXPECT_EQ(FocusNavigator::move(kItems, 1, FocusAction::Left), -1) << "nothing before the first";
    EXPECT_EQ(FocusNavigator::move(kItems, 2, FocusAction::Down), 3) << "the nearest across in the row below";
    EXPECT_EQ(FocusNavigator::move(kItems, 4, FocusAction::Down), 0);
    EXPECT_EQ(FocusNavigator::move(kItems, 0, FocusAction::Up), 4);
    EXPECT_EQ(FocusNavigator::move(kItems, 0, FocusAction::Down), -1) << "no row below the last";
    EXPECT_EQ(FocusNavigator::nearest(kItems, 330, 120), 0);
}
