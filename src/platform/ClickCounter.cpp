// ClickCounter: the double-click time and place rule.
#include "platform/ClickCounter.h"

#include <cstdlib>

namespace mph {

int32_t ClickCounter::press(uint32_t when, int32_t x, int32_t y) {
    // Unsigned subtraction keeps the rule right when the tick count wraps around.
    const bool soon = m_count > 0 && when - m_lastTime < kDoubleClickTime;
    const bool near = std::abs(x - m_lastX) <= kSlop && std::abs(y - m_lastY) <= kSlop;
    m_count = soon && near ? m_count + 1 : 1;
    m_lastTime = when;
    m_lastX = x;
    m_lastY = y;
    return m_count;
}

} // namespace mph
