// WorkerPool: a job queue served by a fixed set of threads.
#include "service/WorkerPool.h"

#include <cstdio>
#include <exception>

namespace mph::service {

WorkerPool::WorkerPool(unsigned threads) {
    for (unsigned i = 0; i < (threads < 1 ? 1 : threads); ++i)
        m_threads.emplace_back([this] { run(); });
}

WorkerPool::~WorkerPool() {
    stop();
}

bool WorkerPool::post(std::function<void()>& job) {
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (m_stopping) return false;
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
    return true;
}

void WorkerPool::stop() {
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread& t : m_threads)
        if (t.joinable()) t.join();
}

void WorkerPool::run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_jobs.empty()) return;
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        try {
            job();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "morphella-scored: a request failed: %s\n", e.what());
        }
        lock.lock();
    }
}

} // namespace mph::service
