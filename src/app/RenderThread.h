// RenderThread: runs the canvas's tick and present on a fixed schedule.
#pragma once

#include "runtime/Ref.h"
#include "runtime/Thread.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace mph {

class GameCanvas;

class RenderThread : public lang::Thread {
public:
    const char* getClassName() const override { return "RenderThread"; }
    bool instanceOf(const char* className) const override {
        return lang::sameClassName(className, "RenderThread") || lang::Thread::instanceOf(className);
    }

    // The thread holds a reference to the canvas until it is released.
    RenderThread(GameCanvas* canvas, int32_t periodMs, bool skipAllowed);

    // Asks the loop to end after the current tick; a wait for the next tick ends at once.
    void requestStop();
    bool isStopRequested() const;
    void run() override;

private:
    // Waits until deadline or a stop request; false when stopped.
    template <class TimePoint> bool waitUntil(TimePoint deadline);

    lang::Ref<GameCanvas> m_canvas;
    int32_t m_periodMs;
    bool m_skipAllowed;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
};

} // namespace mph
