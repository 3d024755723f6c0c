// RateLimiter: how much one client may do within a window: a sliding-window count per client key in
// fixed memory, with a cap on the keys kept (the least recently seen is forgotten first).
#pragma once

#include "service/ClientAddress.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace mph::service {

class RateLimiter {
public:
    using Clock = std::chrono::steady_clock;
    // Keys kept at most by default: some 6 MB, whatever addresses an attacker makes up.
    static constexpr size_t kDefaultMaxKeys = 100000;

    // limit 0 lets everything through. The count of a window is estimated from this window's and the
    // last one's (the last weighted by how much of it still overlaps), which is exact enough for a limit
    // and takes a few bytes per key.
    RateLimiter(uint64_t limit, std::chrono::seconds window, size_t maxKeys = kDefaultMaxKeys);

    // Counts an attempt by key at now, refused ones included (so a client that keeps hammering stays
    // refused); true when fewer than limit attempts fell within the window before it.
    bool allow(const ClientKey& key, Clock::time_point now = Clock::now());
    // Whether key has room left, without counting anything.
    bool hasRoom(const ClientKey& key, Clock::time_point now = Clock::now());
    // Adds units to key's count (the replay budget charges the milliseconds a replay took).
    void charge(const ClientKey& key, uint64_t units, Clock::time_point now = Clock::now());

    // The seconds until key has room again (for Retry-After); at least 1.
    long retryAfterSeconds(const ClientKey& key, Clock::time_point now = Clock::now());

    size_t trackedKeys();
    uint64_t limit() const { return m_limit; }

private:
    struct Slot {
        ClientKey key;
        int64_t windowStart = 0; // in Clock ticks
        uint64_t previous = 0;
        uint64_t current = 0;
        uint32_t newer = kNone, older = kNone; // the recency list
    };
    static constexpr uint32_t kNone = UINT32_MAX;

    Slot& slotFor(const ClientKey& key, int64_t now);
    void roll(Slot& slot, int64_t now) const;
    double estimate(const Slot& slot, int64_t now) const;
    void unlink(uint32_t index);
    void pushNewest(uint32_t index);

    uint64_t m_limit;
    int64_t m_window;
    size_t m_maxKeys;
    std::mutex m_mutex;
    std::vector<Slot> m_slots;
    std::unordered_map<ClientKey, uint32_t, ClientKeyHash> m_index;
    uint32_t m_newest = kNone, m_oldest = kNone;
};

} // namespace mph::service
