// WorkerPool: threads that run the requests which may wait (on the store, on a replay), off the HTTP
// threads, with an optional bound on the jobs waiting.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace mph::service {

class WorkerPool {
public:
    enum class Posted { Taken, Full, Stopping };

    // capacity bounds the jobs waiting for a thread (not those running); 0 for no bound.
    explicit WorkerPool(unsigned threads, size_t capacity = 0);
    // As stop().
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Queues a job; jobs run in the order posted, as many at once as there are threads. Unless Taken the
    // job is not taken (the caller still holds it). cancel, when given, runs instead of the job should
    // the pool be stopped without draining before the job's turn.
    [[nodiscard]] Posted post(std::function<void()>& job, std::function<void()> cancel = {});
    // With drain, runs every job already posted; without, cancels the waiting ones (their cancel runs on
    // the calling thread) and lets only the running ones finish. Then joins the threads. Safe to call twice.
    void stop(bool drain = true);
    // Takes nothing more and cancels what waits, without waiting for what runs (stop() joins later).
    void cancelWaiting();

    // Jobs waiting for a thread.
    size_t waiting();
    unsigned threads() const { return static_cast<unsigned>(m_threads.size()); }

private:
    struct Job {
        std::function<void()> run;
        std::function<void()> cancel;
    };
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    size_t m_capacity;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace mph::service
