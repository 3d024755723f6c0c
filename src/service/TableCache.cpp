// TableCache: per-mode renderings with a generation count that writes bump.
#include "service/TableCache.h"

#include "service/Log.h"

#include <exception>

namespace mph::service {

TableCache::TableCache(Loader loader, std::chrono::milliseconds maxAge)
    : m_loader(std::move(loader)), m_maxAge(maxAge) {}

TableCache::Slot& TableCache::slot(const std::string& mode) {
    std::lock_guard<std::mutex> guard(m_slotsMutex);
    std::unique_ptr<Slot>& s = m_slots[mode];
    if (!s) s = std::make_unique<Slot>();
    return *s;
}

std::shared_ptr<const RenderedTable> TableCache::entries(const std::string& mode) {
    Slot& s = slot(mode);
    enum class State { Fresh, Old, Invalid, Missing };
    auto look = [&](std::shared_ptr<const RenderedTable>& text) {
        std::lock_guard<std::mutex> guard(s.textMutex);
        text = s.text;
        if (!s.text) return State::Missing;
        const Clock::time_point now = Clock::now();
        // The store just failed: what there is serves until it is asked again.
        if (s.failed && now - s.failedAt < kRetryAfterFailure) return State::Fresh;
        if (s.renderedGeneration != s.generation.load()) return State::Invalid;
        if (m_maxAge.count() != 0 && now - s.renderedAt >= m_maxAge) return State::Old;
        return State::Fresh;
    };
    std::shared_ptr<const RenderedTable> text;
    State state = look(text);
    if (state == State::Fresh) return text;
    std::unique_lock<std::mutex> render(s.renderMutex, std::defer_lock);
    // Someone renders already: an old rendering serves meanwhile; after a write, wait for the new one.
    if (state == State::Old) {
        if (!render.try_lock()) return text;
    } else {
        render.lock();
    }
    state = look(text);
    if (state == State::Fresh) return text;
    // The generation is read before the table: a write committing meanwhile leaves this rendering
    // marked stale, so it is rendered again on the next call.
    const uint64_t generation = s.generation.load();
    try {
        std::shared_ptr<const RenderedTable> rendered = m_loader(mode);
        std::lock_guard<std::mutex> guard(s.textMutex);
        s.text = rendered;
        s.renderedGeneration = generation;
        s.renderedAt = Clock::now();
        s.failed = false;
        return rendered;
    } catch (const std::exception& e) {
        std::lock_guard<std::mutex> guard(s.textMutex);
        if (!s.failed) log::line("serving the last good table of %s: %s", mode.c_str(), e.what());
        s.failed = true;
        s.failedAt = Clock::now();
        if (s.text) return s.text;
        throw;
    }
}

void TableCache::invalidate(const std::string& mode) {
    Slot& s = slot(mode);
    // A write just committed: the store answers again, and this caller must read it.
    std::lock_guard<std::mutex> guard(s.textMutex);
    s.failed = false;
    s.generation.fetch_add(1);
}

void TableCache::drop(const std::string& mode) {
    std::lock_guard<std::mutex> guard(m_slotsMutex);
    for (auto& [name, s] : m_slots) {
        if (!mode.empty() && name != mode) continue;
        std::lock_guard<std::mutex> text(s->textMutex);
        s->generation.fetch_add(1);
        s->text.reset();
        s->failed = false;
    }
}

} // namespace mph::service
