// Thread: start, join with a time limit, and the entry that keeps the object alive while it runs.
#include "runtime/Thread.h"

#include <chrono>

namespace lang {

Thread::Thread() : m_target(this) {}

Thread::Thread(Runnable* target) : m_target(target) {
    if (m_target) m_target->addRef();
}

Thread::~Thread() {
    if (m_target && m_target != this) m_target->release();
    if (m_handle.joinable()) {
        // The last reference may be dropped by the thread itself as it finishes.
        if (m_handle.get_id() == std::this_thread::get_id()) {
            m_handle.detach();
        } else {
            m_handle.join();
        }
    }
}

void Thread::start() {
    std::unique_lock<std::mutex> guard(m_stateMutex);
    if (m_started) return;
    m_started = true;
    m_finished = false;
    if (m_handle.joinable()) {
        // The previous run has ended (started was cleared at its end); reap it.
        guard.unlock();
        m_handle.join();
        guard.lock();
    }
    // The reference is taken here rather than on the new thread, so a caller that releases the
    // object right after start() cannot delete it before the thread has begun.
    addRef();
    m_handle = std::thread(&Thread::entry, this);
}

void Thread::entry(Thread* self) {
    static_cast<Runnable*>(self)->run();
    {
        std::lock_guard<std::mutex> guard(self->m_stateMutex);
        self->m_finished = true;
    }
    self->m_finishedCv.notify_all();
    self->release();
}

bool Thread::join(uint32_t milliseconds) {
    std::unique_lock<std::mutex> guard(m_stateMutex);
    if (!m_handle.joinable()) return true;
    if (milliseconds == 0 || milliseconds == kInfinite) {
        m_finishedCv.wait(guard, [this] { return m_finished; });
    } else if (!m_finishedCv.wait_for(guard, std::chrono::milliseconds(milliseconds), [this] { return m_finished; })) {
        return false;
    }
    if (m_handle.joinable() && m_handle.get_id() != std::this_thread::get_id()) {
        std::thread handle = std::move(m_handle);
        guard.unlock();
        handle.join();
    }
    return true;
}

bool Thread::isStarted() const {
    std::lock_guard<std::mutex> guard(m_stateMutex);
    return m_started;
}

void Thread::sleep(uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

void Thread::run() {
    if (m_target && m_target != this) m_target->run();
    std::lock_guard<std::mutex> guard(m_stateMutex);
    m_started = false;
}

} // namespace lang
