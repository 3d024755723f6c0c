// RenderSchedule: the arithmetic of the render thread's fixed tick rate and its lateness rules.
#include "app/RenderSchedule.h"

namespace mph {

RenderSchedule::RenderSchedule(std::chrono::milliseconds period, bool skipAllowed)
    : m_period(std::chrono::duration_cast<Duration>(period)), m_skipAllowed(skipAllowed) {}

void RenderSchedule::start(Clock::time_point now) {
    m_start = now;
    m_ticks = 0;
    m_skipped = 0;
}

RenderSchedule::Step RenderSchedule::tickEnded(Clock::time_point now) {
    ++m_ticks;
    Step step;
    step.delay = std::chrono::duration_cast<Duration>(nextDue() - now);
    if (step.delay <= -m_period && m_skipAllowed && m_skipped < kMaxSkipsInARow) {
        ++m_skipped;
        step.present = false;
        if (step.delay < -kBacklogLimit) {
            // Too far behind to catch up: the backlog is forgotten. The next tick still starts at once
            // (as after any skipped present); the one after it is due a period later.
            m_start = now - m_period * m_ticks;
        }
    } else {
        step.present = true;
        m_skipped = 0;
    }
    return step;
}

} // namespace mph
