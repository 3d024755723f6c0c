// The render thread's schedule: skipped presents when late, their limit, and forgetting a backlog.
#include "app/RenderSchedule.h"

#include <gtest/gtest.h>

using mph::RenderSchedule;
using std::chrono::milliseconds;

namespace {

struct ScheduleRun {
    RenderSchedule schedule{milliseconds(40), true};
    RenderSchedule::Clock::time_point t0 = RenderSchedule::Clock::time_point() + std::chrono::hours(1);
    ScheduleRun() { schedule.start(t0); }
    RenderSchedule::Step endAt(int64_t ms) { return schedule.tickEnded(t0 + milliseconds(ms)); }
};

} // namespace

TEST(RenderSchedule, OnTimeTicksArePresentedAndWaitForTheirSlot) {
    ScheduleRun run;
    RenderSchedule::Step step = run.endAt(5);
    EXPECT_TRUE(step.present);
    EXPECT_EQ(step.delay, milliseconds(35));
    EXPECT_EQ(run.schedule.nextDue(), run.t0 + milliseconds(40));
    // Just under a whole period late is still presented, and the next tick starts at once.
    step = run.endAt(80 + 39);
    EXPECT_TRUE(step.present);
    EXPECT_LE(step.delay.count(), 0);
}

TEST(RenderSchedule, LateTickSkipsItsPresentAtMostTwiceInARow) {
    ScheduleRun run;
    // Ends 45 ms after the next tick was due: not presented, and the next one starts at once.
    RenderSchedule::Step step = run.endAt(40 + 45);
    EXPECT_FALSE(step.present);
    EXPECT_LE(step.delay.count(), 0);
    step = run.endAt(80 + 50);
    EXPECT_FALSE(step.present);
    EXPECT_EQ(run.schedule.skippedInARow(), 2);
    // The third late tick is presented however late it is.
    step = run.endAt(120 + 95);
    EXPECT_TRUE(step.present);
    EXPECT_EQ(run.schedule.skippedInARow(), 0);
    // The count starts again: the next late tick may be skipped.
    EXPECT_FALSE(run.endAt(160 + 60).present);
}

TEST(RenderSchedule, WithoutSkippingEveryTickIsPresented) {
    RenderSchedule schedule{milliseconds(40), false};
    const auto t0 = RenderSchedule::Clock::time_point() + std::chrono::hours(1);
    schedule.start(t0);
    EXPECT_TRUE(schedule.tickEnded(t0 + milliseconds(500)).present);
}

TEST(RenderSchedule, LongStallResetsTheScheduleInsteadOfCatchingUp) {
    ScheduleRun run;
    // A stall that ends 500 ms late: skipped, and the backlog is dropped.
    RenderSchedule::Step step = run.endAt(40 + 500);
    EXPECT_FALSE(step.present);
    EXPECT_LE(step.delay.count(), 0);
    // Ticks are now due 40 ms apart from that moment: the next starts at once and is not late...
    step = run.endAt(540 + 3);
    EXPECT_TRUE(step.present);
    EXPECT_EQ(step.delay, milliseconds(37));
    // ...and the one after waits for its slot instead of running back to back.
    EXPECT_EQ(run.schedule.nextDue(), run.t0 + milliseconds(540 + 40 + 40) - milliseconds(40));
    step = run.endAt(580 + 2);
    EXPECT_TRUE(step.present);
    EXPECT_EQ(step.delay, milliseconds(38));
}

TEST(RenderSchedule, BacklogUpToTheLimitIsCaughtUp) {
    ScheduleRun run;
    // 90 ms late: skipped but not reset, so the following ticks run at once until caught up.
    EXPECT_FALSE(run.endAt(40 + 90).present);
    EXPECT_EQ(run.schedule.nextDue(), run.t0 + milliseconds(40));
}
