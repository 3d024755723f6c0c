// TableCache: per-mode renderings with a generation count that writes bump.
#include "service/TableCache.h"

namespace mph::service {

TableCache::TableCache(Loader loader, std::chrono::milliseconds maxAge)
    : m_loader(std::move(loader)), m_maxAge(maxAge) {}

TableCache::Slot& TableCache::slot(const std::string& mode) {
    std::lock_guard<std::mutex> guard(m_slotsMutex);
    std::unique_ptr<Slot>& s = m_slots[mode];
    if (!s) s = std::make_unique<Slot>();
    return *s;
}

std::shared_ptr<const std::string> TableCache::entries(const std::string& mode) {
    Slot& s = slot(mode);
    std::lock_guard<std::mutex> guard(s.mutex);
    const uint64_t generation = s.generation.load();
    const Clock::time_point now = Clock::now();
    const bool fresh = m_maxAge.count() == 0 || now - s.renderedAt < m_maxAge;
    if (s.text && s.renderedGeneration == generation && fresh) return s.text;
    // The generation is read before the table: a write committing meanwhile leaves this rendering
    // marked stale, so it is rendered again on the next call.
    s.text = std::make_shared<const std::string>(m_loader(mode));
    s.renderedGeneration = generation;
    s.renderedAt = now;
    return s.text;
}

void TableCache::invalidate(const std::string& mode) {
    slot(mode).generation.fetch_add(1);
}

} // namespace mph::service
