// Application: SDL start and end, the main thread, actions posted to it from any thread, and window timers.
#pragma once

#include "runtime/ObjectI.h"

#include <cstdint>
#include <functional>

namespace mph {

class Component;

class Application {
public:
    // Starts SDL's video, events and timers on the calling thread, which becomes the main thread. True when
    // a display is available; calling it again does nothing and answers the same.
    static bool init();
    // Names the program to the desktop (the X11 window class, the Wayland app id) so that its windows are
    // matched to its desktop entry and icon; call before init. A value already in the environment wins.
    static void setDesktopId(const char* id);
    // Drops pending posted actions and timers and stops SDL.
    static void shutdown();
    static bool isInitialized();
    // Counts the starts of SDL, so objects made under an earlier start know they are stale.
    static uint32_t generation();
    // True on the thread that called init (and on any thread before init).
    static bool isMainThread();
    // Milliseconds since the program started, the clock every Event's time is read from.
    static uint32_t getTickCount();

    // Has the main thread run action once, from its message loop, in the order of posting. Any thread may
    // call it. With a target, the action runs only if the target still has its window then; the target
    // is kept alive until then.
    static void post(Component* target, std::function<void()> action);
    // Runs every action posted so far; main thread only. True when there was at least one.
    static bool runPosted();
    // Whether actions are waiting.
    static bool hasPosted();

    // Starts or restarts timer id of component with a period in milliseconds: its onTimer(id) runs on the
    // main thread once per period. A tick that is still waiting to be handled is not repeated.
    static void setTimer(Component* component, int32_t id, uint32_t periodMs);
    static void killTimer(Component* component, int32_t id);
    // Stops every timer of component (when its window goes away).
    static void killTimers(Component* component);
    // Handles one timer tick event; main thread only.
    static void fireTimer(uintptr_t serial);

    // The SDL event type of the program's own wake-up and timer events; 0 before init.
    static uint32_t userEventType();
    static constexpr int32_t kWakeCode = 1;
    static constexpr int32_t kTimerCode = 2;

    // How many wake-ups (posts, timer ticks) there have been; any thread.
    static uint64_t wakeCount();
    // Waits at most timeoutMs for a wake-up after the one counted as seen; for video drivers that cannot
    // block on their own event queue.
    static void waitForWake(uint64_t seen, uint32_t timeoutMs);

private:
    static void wake();
};

} // namespace mph
