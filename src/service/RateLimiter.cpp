// RateLimiter: a sliding log of each address's most recent attempts.
#include "service/RateLimiter.h"

namespace mph::service {

RateLimiter::RateLimiter(size_t limit, std::chrono::seconds window) : m_limit(limit), m_window(window) {}

bool RateLimiter::allow(const std::string& key, Clock::time_point now) {
    if (m_limit == 0) return true;
    std::lock_guard<std::mutex> guard(m_mutex);
    // Addresses that went quiet are forgotten now and then, so the table stays the size of the
    // recently active addresses rather than of every address ever seen.
    if (now - m_lastSweep > m_window) sweep(now);
    std::deque<Clock::time_point>& times = m_attempts[key];
    while (!times.empty() && now - times.front() >= m_window)
        times.pop_front();
    const bool allowed = times.size() < m_limit;
    times.push_back(now);
    if (times.size() > m_limit) times.pop_front();
    return allowed;
}

long RateLimiter::retryAfterSeconds(const std::string& key, Clock::time_point now) {
    std::lock_guard<std::mutex> guard(m_mutex);
    auto it = m_attempts.find(key);
    if (it == m_attempts.end() || it->second.empty()) return 0;
    const auto left = it->second.front() + m_window - now;
    const long seconds = static_cast<long>(std::chrono::ceil<std::chrono::seconds>(left).count());
    return seconds < 1 ? 1 : seconds;
}

size_t RateLimiter::trackedKeys() {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_attempts.size();
}

void RateLimiter::sweep(Clock::time_point now) {
    m_lastSweep = now;
    for (auto it = m_attempts.begin(); it != m_attempts.end();) {
        if (it->second.empty() || now - it->second.back() >= m_window)
            it = m_attempts.erase(it);
        else
            ++it;
    }
}

} // namespace mph::service
