// RateLimiter: how often one address may submit: at most limit attempts within a sliding window.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace mph::service {

class RateLimiter {
public:
    using Clock = std::chrono::steady_clock;

    // limit 0 lets everything through.
    RateLimiter(size_t limit, std::chrono::seconds window);

    // Counts an attempt by key at now, refused ones included (so an address that keeps hammering stays
    // refused); true when fewer than limit attempts by key fall within the window before now.
    bool allow(const std::string& key, Clock::time_point now = Clock::now());

    // The seconds until key's oldest counted attempt leaves the window (for Retry-After).
    long retryAfterSeconds(const std::string& key, Clock::time_point now = Clock::now());

    size_t trackedKeys();

private:
    void sweep(Clock::time_point now);

    size_t m_limit;
    Clock::duration m_window;
    std::mutex m_mutex;
    // The times of each key's last (at most limit) attempts, oldest first.
    std::unordered_map<std::string, std::deque<Clock::time_point>> m_attempts;
    Clock::time_point m_lastSweep;
};

} // namespace mph::service
