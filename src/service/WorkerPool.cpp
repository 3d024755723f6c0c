// WorkerPool: a job queue served by a fixed set of threads.
#include "service/WorkerPool.h"

#include <cstdio>
#include <exception>

namespace mph::service {

WorkerPool::WorkerPool(unsigned threads, size_t capacity) : m_capacity(capacity) {
    for (unsigned i = 0; i < (threads < 1 ? 1 : threads); ++i)
        m_threads.emplace_back([this] { run(); });
}

WorkerPool::~WorkerPool() {
    stop();
}

WorkerPool::Posted WorkerPool::post(std::function<void()>& job, std::function<void()> cancel) {
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (m_stopping) return Posted::Stopping;
        if (m_capacity > 0 && m_jobs.size() >= m_capacity) return Posted::Full;
        m_jobs.push_back({std::move(job), std::move(cancel)});
    }
    m_wake.notify_one();
    return Posted::Taken;
}

size_t WorkerPool::waiting() {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_jobs.size();
}

void WorkerPool::cancelWaiting() {
    std::deque<Job> cancelled;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_stopping = true;
        cancelled.swap(m_jobs);
    }
    m_wake.notify_all();
    for (Job& job : cancelled) {
        try {
            if (job.cancel) job.cancel();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "morphella-scored: cancelling a request failed: %s\n", e.what());
        }
    }
}

void WorkerPool::stop(bool drain) {
    if (!drain) cancelWaiting();
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
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        try {
            job.run();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "morphella-scored: a request failed: %s\n", e.what());
        }
        lock.lock();
    }
}

} // namespace mph::service
