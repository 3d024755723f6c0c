// The root class: reference counting, the monitor and its manual-reset wait event.
#include "runtime/Object.h"

#include "runtime/String.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace lang {

struct Object::Monitor {
    std::recursive_mutex mutex;
    // The thread that holds the monitor, so that wait releases only the caller's own levels.
    std::atomic<std::thread::id> owner{};
};

// The wait event counts notifications: a waiter wakes once the count has moved past the value it saw
// on entry, so a notify wakes every thread waiting at that moment and a later waiter cannot swallow it.
struct Object::WaitEvent {
    std::mutex mutex;
    std::condition_variable cv;
    uint64_t generation = 0;
};

namespace {
// Guards the lazy creation of every object's monitor; never destroyed, so objects may outlive main.
std::mutex& monitorInitLock() {
    static auto* lock = new std::mutex;
    return *lock;
}
} // namespace

Object::Object() noexcept { monitorInitLock(); }

Object::Object(const Object&) noexcept : ObjectI() {}

Object::~Object() {
    delete m_monitor.load(std::memory_order_acquire);
    delete m_waitEvent.load(std::memory_order_acquire);
}

void Object::addRef() { m_refCount.fetch_add(1, std::memory_order_relaxed); }

void Object::release() {
    if (m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1 <= 0) delete this;
}

Object::Monitor* Object::monitor() {
    Monitor* m = m_monitor.load(std::memory_order_acquire);
    if (m == nullptr) {
        std::lock_guard<std::mutex> guard(monitorInitLock());
        m = m_monitor.load(std::memory_order_relaxed);
        if (m == nullptr) {
            m = new Monitor;
            m_monitor.store(m, std::memory_order_release);
        }
    }
    return m;
}

void Object::lock() {
    Monitor* m = monitor();
    const std::thread::id self = std::this_thread::get_id();
    // Only the holder ever stores its own id, so seeing it means this thread holds the mutex already: a
    // nested lock only counts (nested locks are most of them, and the mutex would cost far more).
    if (m->owner.load(std::memory_order_relaxed) == self) {
        m_lockDepth.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    m->mutex.lock();
    m_lockDepth.fetch_add(1, std::memory_order_relaxed);
    m->owner.store(self, std::memory_order_relaxed);
}

void Object::unlock() {
    Monitor* m = monitor();
    if (m_lockDepth.fetch_sub(1, std::memory_order_relaxed) > 1) return;
    m->owner.store(std::thread::id(), std::memory_order_relaxed);
    m->mutex.unlock();
}

int32_t Object::hashCode() const { return 0; }

bool Object::equals(const Object* other) const { return other == this; }

String Object::toString() const { return String("lang.Object"); }

void Object::wait(uint32_t milliseconds) {
    WaitEvent* event = m_waitEvent.load(std::memory_order_acquire);
    if (event == nullptr) {
        auto* fresh = new WaitEvent;
        if (m_waitEvent.compare_exchange_strong(event, fresh, std::memory_order_acq_rel)) {
            event = fresh;
        } else {
            delete fresh; // another thread created it first; event now holds that one
        }
    }
    uint64_t seen = 0;
    {
        std::lock_guard<std::mutex> guard(event->mutex);
        seen = event->generation;
    }
    // Release every level the caller holds so that others can take the monitor while we wait.
    const int32_t depth = unlockAll();
    {
        std::unique_lock<std::mutex> guard(event->mutex);
        const auto notified = [event, seen] { return event->generation != seen; };
        if (milliseconds == kInfinite) {
            event->cv.wait(guard, notified);
        } else {
            event->cv.wait_for(guard, std::chrono::milliseconds(milliseconds), notified);
        }
    }
    relock(depth);
}

int32_t Object::unlockAll() {
    Monitor* m = m_monitor.load(std::memory_order_acquire);
    const bool held = m != nullptr && m->owner.load(std::memory_order_relaxed) == std::this_thread::get_id();
    const int32_t depth = held ? m_lockDepth.load(std::memory_order_relaxed) : 0;
    for (int32_t i = 0; i < depth; ++i) unlock();
    return depth;
}

void Object::relock(int32_t depth) {
    for (int32_t i = 0; i < depth; ++i) lock();
}

void Object::wait() { wait(kInfinite); }

void Object::notify() {
    WaitEvent* event = m_waitEvent.load(std::memory_order_acquire);
    if (event == nullptr) return;
    {
        std::lock_guard<std::mutex> guard(event->mutex);
        ++event->generation;
    }
    event->cv.notify_all();
}

void Object::notifyAll() { notify(); }

bool Object::instanceOf(const char* className) const { return sameClassName(className, "Object"); }

} // namespace lang
