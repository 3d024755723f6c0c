// MessageLoop: get, dispatch and wait on SDL events, posted actions and the quit message.
#include "platform/MessageLoop.h"

#include "platform/Application.h"
#include "platform/WindowEvents.h"

#include <SDL.h>

#include <atomic>

namespace mph {

namespace {

std::atomic<bool> g_quitPending{false};
std::atomic<int32_t> g_exitCode{0};

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
    if (g_quitPending.load() || Application::hasPosted() || !Application::isInitialized()) return;
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
