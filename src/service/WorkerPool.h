// WorkerPool: threads that run the requests which may wait (on the store), off the HTTP threads.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace mph::service {

class WorkerPool {
public:
    explicit WorkerPool(unsigned threads);
    // As stop().
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Queues a job; jobs run in the order posted, as many at once as there are threads. False, and
    // the job is not taken, once stop() has begun.
    [[nodiscard]] bool post(std::function<void()>& job);
    // Runs every job already posted, then joins the threads. Safe to call twice.
    void stop();

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace mph::service
