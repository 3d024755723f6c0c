// RateLimiter: two counts per key in a flat table, and a recency list for forgetting the oldest key.
#include "service/RateLimiter.h"

#include <cmath>

namespace mph::service {

RateLimiter::RateLimiter(uint64_t limit, std::chrono::seconds window, size_t maxKeys)
    : m_limit(limit), m_window(std::chrono::duration_cast<Clock::duration>(window).count()),
      m_maxKeys(maxKeys < 1 ? 1 : maxKeys) {
    if (m_window < 1) m_window = 1;
}

void RateLimiter::roll(Slot& slot, int64_t now) const {
    if (now < slot.windowStart) return;
    const int64_t windows = (now - slot.windowStart) / m_window;
    if (windows == 0) return;
    slot.previous = windows == 1 ? slot.current : 0;
    slot.current = 0;
    slot.windowStart += windows * m_window;
}

double RateLimiter::estimate(const Slot& slot, int64_t now) const {
    const double into = static_cast<double>(now - slot.windowStart) / static_cast<double>(m_window);
    return static_cast<double>(slot.previous) * (1.0 - into) + static_cast<double>(slot.current);
}

void RateLimiter::unlink(uint32_t index) {
    Slot& s = m_slots[index];
    if (s.newer != kNone)
        m_slots[s.newer].older = s.older;
    else
        m_newest = s.older;
    if (s.older != kNone)
        m_slots[s.older].newer = s.newer;
    else
        m_oldest = s.newer;
    s.newer = s.older = kNone;
}

void RateLimiter::pushNewest(uint32_t index) {
    Slot& s = m_slots[index];
    s.older = m_newest;
    s.newer = kNone;
    if (m_newest != kNone) m_slots[m_newest].newer = index;
    m_newest = index;
    if (m_oldest == kNone) m_oldest = index;
}

RateLimiter::Slot& RateLimiter::slotFor(const ClientKey& key, int64_t now) {
    auto found = m_index.find(key);
    uint32_t index;
    if (found != m_index.end()) {
        index = found->second;
        unlink(index);
    } else if (m_slots.size() < m_maxKeys) {
        index = static_cast<uint32_t>(m_slots.size());
        m_slots.emplace_back();
        m_index.emplace(key, index);
        m_slots[index].key = key;
        m_slots[index].windowStart = now;
    } else {
        // Full: the least recently seen key is forgotten and its slot reused.
        index = m_oldest;
        unlink(index);
        m_index.erase(m_slots[index].key);
        m_slots[index] = Slot();
        m_slots[index].key = key;
        m_slots[index].windowStart = now;
        m_index.emplace(key, index);
    }
    pushNewest(index);
    Slot& slot = m_slots[index];
    roll(slot, now);
    return slot;
}

bool RateLimiter::allow(const ClientKey& key, Clock::time_point now) {
    if (m_limit == 0) return true;
    std::lock_guard<std::mutex> guard(m_mutex);
    const int64_t t = now.time_since_epoch().count();
    Slot& slot = slotFor(key, t);
    const bool allowed = estimate(slot, t) < static_cast<double>(m_limit);
    // A refused attempt counts too, but the count never grows past what keeps the key refused a window.
    if (slot.current < m_limit) ++slot.current;
    return allowed;
}

bool RateLimiter::hasRoom(const ClientKey& key, Clock::time_point now) {
    if (m_limit == 0) return true;
    std::lock_guard<std::mutex> guard(m_mutex);
    const int64_t t = now.time_since_epoch().count();
    return estimate(slotFor(key, t), t) < static_cast<double>(m_limit);
}

void RateLimiter::charge(const ClientKey& key, uint64_t units, Clock::time_point now) {
    if (m_limit == 0) return;
    std::lock_guard<std::mutex> guard(m_mutex);
    Slot& slot = slotFor(key, now.time_since_epoch().count());
    slot.current += units;
}

long RateLimiter::retryAfterSeconds(const ClientKey& key, Clock::time_point now) {
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto found = m_index.find(key);
    if (found == m_index.end() || m_limit == 0) return 1;
    const int64_t t = now.time_since_epoch().count();
    Slot& slot = m_slots[found->second];
    roll(slot, t);
    const double w = static_cast<double>(m_window), limit = static_cast<double>(m_limit);
    const double into = static_cast<double>(t - slot.windowStart);
    const double p = static_cast<double>(slot.previous), c = static_cast<double>(slot.current);
    double wait;
    if (c < limit && p > 0 && w * (1.0 - (limit - c) / p) < w) {
        // Within this window, once enough of the last one has slid out.
        wait = std::max(0.0, w * (1.0 - (limit - c) / p) - into);
    } else if (c < limit) {
        wait = 0;
    } else {
        // Only in the next window, once enough of this one has slid out.
        wait = (w - into) + w * (1.0 - limit / c);
    }
    const double seconds =
        std::ceil(wait / static_cast<double>(
                             std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)).count()));
    return seconds < 1 ? 1 : static_cast<long>(seconds);
}

size_t RateLimiter::trackedKeys() {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_index.size();
}

} // namespace mph::service
