// ClickCounter: counts successive mouse presses into single, double and triple clicks.
#pragma once

#include <cstdint>

namespace mph {

class ClickCounter {
public:
    // The system's double-click time in milliseconds.
    static constexpr uint32_t kDoubleClickTime = 500;
    // How far, in pixels each way, a following press may land from the previous one and still count.
    static constexpr int32_t kSlop = 4;

    // The click count of a press at (x, y) at time when: one more than the previous press's count when
    // that press was less than the double-click time ago at about the same place, else 1.
    int32_t press(uint32_t when, int32_t x, int32_t y);
    void reset() { m_count = 0; }

private:
    uint32_t m_lastTime = 0;
    int32_t m_lastX = 0;
    int32_t m_lastY = 0;
    int32_t m_count = 0;
};

} // namespace mph
