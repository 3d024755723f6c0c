// Thread: runs a Runnable on its own operating-system thread.
#pragma once

#include "runtime/Object.h"
#include "runtime/Runnable.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace lang {

class Thread : public Object, public Runnable {
public:
    const char* getClassName() const override { return "Thread"; }
    bool instanceOf(const char* className) const override {
        return sameClassName(className, "Thread") || Object::instanceOf(className) ||
               sameClassName(className, "Runnable");
    }

    // A thread that runs its own run(); only meaningful for a subclass that overrides it.
    Thread();
    // A thread that runs target's run(); it holds a reference to target.
    explicit Thread(Runnable* target);
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    ~Thread() override;

    // Starts the thread unless it is already started.
    void start();
    // Waits at most milliseconds (0: without limit) for the thread to end; true when it has ended.
    bool join(uint32_t milliseconds = 0);
    bool isStarted() const;
    static void sleep(uint32_t milliseconds);

    void run() override;

private:
    static void entry(Thread* self);

    Runnable* m_target;
    bool m_started = false;
    std::thread m_handle;
    mutable std::mutex m_stateMutex;
    std::condition_variable m_finishedCv;
    bool m_finished = true;
};

} // namespace lang
