// The hand's times from a replay and their limits: a reaction counts from when the shape could be taken
// (in reach and the hand empty), a carry from pick-up to drop; most moves beyond a person's speed make a
// game no person's, a few do not.
#include "service/HandTimes.h"
#include "service/Plausibility.h"

#include <gtest/gtest.h>

using namespace mph;
using namespace mph::service;

namespace {

// count moves: each shape arrives at the drop before, is picked after react ticks and dropped after carry.
HandTimes moves(int32_t count, int32_t react, int32_t carry) {
    HandTimes t;
    int32_t tick = 100;
    t.placed(tick);
    for (int32_t i = 0; i < count; ++i) {
        t.pickedUp(tick - 50, tick + react);
        tick += react + carry;
        t.placed(tick);
    }
    return t;
}

} // namespace

TEST(HandTimes, ReactionsRunFromTheLaterOfArrivalAndTheLastDrop) {
    HandTimes t;
    t.pickedUp(3, 10); // no drop yet: when the hand came free is unknown
    t.placed(20);
    t.pickedUp(5, 26);  // waited in the tray: from the drop
    t.pickedUp(-1, 30); // the held shape went to the trash; this one's arrival is unknown
    t.placed(34);       // carried from the latest pick-up
    t.pickedUp(40, 41); // came in after the drop: from its arrival
    EXPECT_EQ(t.reactions(), (std::vector<int32_t>{6, 1}));
    EXPECT_EQ(t.carries(), (std::vector<int32_t>{10, 4}));
    EXPECT_EQ(HandTimes::median({9, 1, 4, 7}), 4);
}

TEST(HandTimes, MostMovesFasterThanAPersonAreNoPersons) {
    ReplayFile none;
    // 80 ms (two ticks) is below the limit, 120 ms is not.
    EXPECT_FALSE(Plausibility::judge(none, moves(30, 2, 5)).human);
    const Plausibility::Verdict slowPick = Plausibility::judge(none, moves(30, 3, 5));
    EXPECT_TRUE(slowPick.human) << slowPick.summary();
    const Plausibility::Verdict quickDrop = Plausibility::judge(none, moves(30, 6, 0));
    ASSERT_EQ(quickDrop.reasons.size(), 1u);
    EXPECT_NE(quickDrop.reasons[0].find("30 of 30 shapes dropped"), std::string::npos) << quickDrop.summary();
    // Too few moves to tell, and fast on no more than half of them.
    EXPECT_TRUE(Plausibility::judge(none, moves(Plausibility::kHandMinCount - 1, 0, 0)).human);
    HandTimes half = moves(20, 1, 1);
    for (int32_t i = 0; i < 20; ++i) {
        half.pickedUp(0, 10000 + i * 20);
        half.placed(10000 + i * 20 + 10);
    }
    EXPECT_TRUE(Plausibility::judge(none, half).human);
}
