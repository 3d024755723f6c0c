// TableCache: the rendered table of each mode, kept until a write to that mode (or an age limit),
// and served on while the store is away.
#pragma once

#include "service/RenderedTable.h"

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
    using Loader = std::function<std::shared_ptr<const RenderedTable>(const std::string& mode)>;
    // After a failed rendering, the last good one is served this long before the store is asked again.
    static constexpr std::chrono::milliseconds kRetryAfterFailure{1000};

    // maxAge 0 keeps a rendering until invalidate; with several service instances on one database,
    // the others' writes are seen only once a rendering is older than maxAge.
    TableCache(Loader loader, std::chrono::milliseconds maxAge);

    // The current rendering of mode. One caller renders at a time; while it does, others get the
    // rendering there is when it is only old (not invalidated), and wait otherwise. When the loader
    // fails, the last good rendering is served (unless dropped); with none, the failure is thrown.
    std::shared_ptr<const RenderedTable> entries(const std::string& mode);
    // Called after a write to mode committed: the next entries() renders again.
    void invalidate(const std::string& mode);
    // Entries were removed from mode ("" for every mode): the rendering is forgotten, so it is never
    // served again, not even while the store is away.
    void drop(const std::string& mode);

private:
    struct Slot {
        std::atomic<uint64_t> generation{1};
        std::mutex renderMutex; // held while rendering
        std::mutex textMutex;   // guards the fields below
        uint64_t renderedGeneration = 0;
        Clock::time_point renderedAt;
        Clock::time_point failedAt;
        bool failed = false;
        std::shared_ptr<const RenderedTable> text;
    };
    Slot& slot(const std::string& mode);

    Loader m_loader;
    std::chrono::milliseconds m_maxAge;
    std::mutex m_slotsMutex;
    std::map<std::string, std::unique_ptr<Slot>, std::less<>> m_slots;
};

} // namespace mph::service
