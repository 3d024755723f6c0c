// InputThread: delivers the canvas's queued mouse events to the game, one at a time.
#pragma once

#include "runtime/Ref.h"
#include "runtime/Thread.h"

#include <atomic>

namespace mph {

class GameCanvas;

class InputThread : public lang::Thread {
public:
    const char* getClassName() const override { return "InputThread"; }
    bool instanceOf(const char* className) const override {
        return lang::sameClassName(className, "InputThread") || lang::Thread::instanceOf(className);
    }

    // The thread holds a reference to the canvas until it is released.
    explicit InputThread(GameCanvas* canvas);

    // Asks the loop to end after the current delivery and wakes it if it waits for events.
    void requestStop();
    bool isStopRequested() const { return m_stop.load(); }
    void run() override;

    // How long the loop waits for an event before it looks at its stop flag again.
    static constexpr uint32_t kIdleWaitMs = 3000;

private:
    lang::Ref<GameCanvas> m_canvas;
    std::atomic<bool> m_stop{false};
};

} // namespace mph
