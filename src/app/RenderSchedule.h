// RenderSchedule: when the render thread's ticks are due and whether a finished tick is presented.
#pragma once

#include <chrono>
#include <cstdint>

namespace mph {

// Ticks are due one period apart, counted from a start time. A tick that ends a whole period or more
// after the next one was due skips its present, at most twice in a row; when it is more than 100 ms
// behind, the schedule gives up catching up and restarts from that moment.
class RenderSchedule {
public:
    using Clock = std::chrono::steady_clock;
    using Duration = std::chrono::microseconds;

    // The lateness beyond which a skipped present also resets the schedule.
    static constexpr Duration kBacklogLimit = std::chrono::milliseconds(100);
    static constexpr int32_t kMaxSkipsInARow = 2;

    struct Step {
        // Whether the tick just run is presented.
        bool present = true;
        // Time until the next tick is due; zero or negative means it starts at once.
        Duration delay{0};
    };

    RenderSchedule(std::chrono::milliseconds period, bool skipAllowed);

    // Starts counting ticks from now.
    void start(Clock::time_point now);
    // One tick has just ended at now: decides about its present and says how long to wait.
    Step tickEnded(Clock::time_point now);
    // When the next tick is due.
    Clock::time_point nextDue() const { return m_start + m_period * m_ticks; }

    int64_t ticks() const { return m_ticks; }
    int32_t skippedInARow() const { return m_skipped; }

private:
    Duration m_period;
    bool m_skipAllowed;
    Clock::time_point m_start;
    int64_t m_ticks = 0;
    int32_t m_skipped = 0;
};

} // namespace mph
