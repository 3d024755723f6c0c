// MessageLoop: get, dispatch and wait on SDL events, posted actions and the quit message.
#include "platform/MessageLoop.h"

#include "platform/Application.h"
#include "platform/WindowEvents.h"

#include <SDL.h>

#include <atomic>
#include <cstring>

namespace mph {

namespace {

std::atomic<bool> g_quitPending{false};
std::atomic<int32_t> g_exitCode{0};

// How often a main thread without a blocking video driver looks at SDL's queue.
constexpr uint32_t kHeadlessPollMs = 25;

// Drivers without a window system have no event source to block on.
bool driverCanBlock() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}

} // namespace

void MessageLoop::postQuit(int32_t exitCode) {
    // The quit message follows whatever was posted before it.
    Application::post(nullptr, [exitCode] {
        g_exitCode.store(exitCode);
        g_quitPending.store(true);
    });
}

MessageLoop::PeekResult MessageLoop::peekMessage() {
    if (g_quitPending.exchange(false)) return PeekResult::kQuit;
    if (Application::hasPosted()) {
        Application::runPosted();
        return g_quitPending.exchange(false) ? PeekResult::kQuit : PeekResult::kDispatched;
    }
    if (!Application::isInitialized()) return PeekResult::kNone;
    SDL_Event event;
    if (SDL_PollEvent(&event) == 0) return PeekResult::kNone;
    WindowEvents::dispatch(event);
    return g_quitPending.exchange(false) ? PeekResult::kQuit : PeekResult::kDispatched;
}

void MessageLoop::waitMessage(uint32_t timeoutMs) {
    const uint64_t seen = Application::wakeCount();
    if (g_quitPending.load() || Application::hasPosted() || !Application::isInitialized()) return;
    if (!driverCanBlock()) {
        // SDL would poll this driver every millisecond; sleep until our own wake-up instead, looking at
        // SDL's queue (signals, pushed events) a few dozen times a second.
        SDL_PumpEvents();
        if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
        Application::waitForWake(seen, timeoutMs < kHeadlessPollMs ? timeoutMs : kHeadlessPollMs);
        return;
    }
    // A null event waits without taking the event off the queue.
    if (timeoutMs == lang::kInfinite)
        SDL_WaitEvent(nullptr);
    else
        SDL_WaitEventTimeout(nullptr, static_cast<int>(timeoutMs > 0x7FFFFFFF ? 0x7FFFFFFF : timeoutMs));
}

int32_t MessageLoop::run() {
    for (;;) {
        const PeekResult r = peekMessage();
        if (r == PeekResult::kQuit) return g_exitCode.load();
        if (r == PeekResult::kNone) {
            // Without SDL nothing but posted actions can arrive; they wake no one, so look again soon.
            if (!Application::isInitialized())
                SDL_Delay(5);
            else
                waitMessage(100);
        }
    }
}

} // namespace mph
