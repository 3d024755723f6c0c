// HandTimes: reactions and carries of a replayed game.
#include "service/HandTimes.h"

#include <algorithm>

namespace mph::service {

void HandTimes::pickedUp(int32_t arrived, int32_t tick) {
    // Until the first drop nothing tells when the hand was free, nor does a shape whose arrival is unknown.
    const int32_t from = std::max(arrived, m_lastPlace);
    if (arrived >= 0 && m_lastPlace >= 0 && tick >= from) m_reactions.push_back(tick - from);
    m_pickTick = tick;
}

void HandTimes::placed(int32_t tick) {
    if (m_pickTick >= 0 && tick >= m_pickTick) m_carries.push_back(tick - m_pickTick);
    m_pickTick = -1;
    m_lastPlace = tick;
}

int32_t HandTimes::countBelow(const std::vector<int32_t>& times, int32_t ticks) {
    return static_cast<int32_t>(
        std::count_if(times.begin(), times.end(), [ticks](int32_t t) { return t < ticks; }));
}

int32_t HandTimes::median(std::vector<int32_t> times) {
    if (times.empty()) return 0;
    const auto middle = times.begin() + static_cast<std::ptrdiff_t>((times.size() - 1) / 2);
    std::nth_element(times.begin(), middle, times.end());
    return *middle;
}

} // namespace mph::service
