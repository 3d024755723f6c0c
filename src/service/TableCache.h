// TableCache: the rendered entries of each mode's table, kept until a write to that mode (or an age limit).
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace mph::service {

class TableCache {
public:
    using Clock = std::chrono::steady_clock;
    // Reads and renders a mode's table; may throw (the caller answers the request with an error).
    using Loader = std::function<std::string(const std::string& mode)>;

    // maxAge 0 keeps a rendering until invalidate; with several service instances on one database,
    // the others' writes are seen only once a rendering is older than maxAge.
    TableCache(Loader loader, std::chrono::milliseconds maxAge);

    // The current rendering of mode. One caller renders while the others of that mode wait for it.
    std::shared_ptr<const std::string> entries(const std::string& mode);
    // Called after a write to mode committed: the next entries() renders again.
    void invalidate(const std::string& mode);

private:
    struct Slot {
        std::atomic<uint64_t> generation{1};
        std::mutex mutex; // held while rendering
        uint64_t renderedGeneration = 0;
        Clock::time_point renderedAt;
        std::shared_ptr<const std::string> text;
    };
    Slot& slot(const std::string& mode);

    Loader m_loader;
    std::chrono::milliseconds m_maxAge;
    std::mutex m_slotsMutex;
    std::map<std::string, std::unique_ptr<Slot>, std::less<>> m_slots;
};

} // namespace mph::service
