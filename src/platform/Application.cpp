// Application: SDL initialisation, the posted-action queue and window timers.
#include "platform/Application.h"

#include "platform/Component.h"
#include "platform/Gamepads.h"
#include "runtime/Exception.h"
#include "runtime/Ref.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace mph {

namespace {

struct Posted {
    lang::Ref<Component> target;
    bool targeted = false;
    std::function<void()> action;
};

struct TimerEntry {
    Component* component = nullptr;
    int32_t id = 0;
    SDL_TimerID sdlId = 0;
    bool pending = false;
};

std::atomic<bool> g_initialized{false};
std::atomic<uint32_t> g_userEvent{0};
std::atomic<uint32_t> g_generation{0};
std::thread::id g_mainThread;

std::mutex g_postMutex;
std::deque<Posted> g_posted;
bool g_wakePending = false;

std::mutex g_timerMutex;
std::map<uintptr_t, TimerEntry> g_timers;
uintptr_t g_nextTimerSerial = 1;

const auto g_start = std::chrono::steady_clock::now();

// Counts wake-ups, so a main thread that cannot block inside SDL can sleep until the next one.
std::mutex g_wakeMutex;
std::condition_variable g_wakeCv;
uint64_t g_wakeCount = 0;

void pushUserEvent(int32_t code, uintptr_t data) {
    const uint32_t type = g_userEvent.load();
    if (type == 0) return;
    SDL_Event e{};
    e.type = type;
    e.user.code = code;
    e.user.data1 = reinterpret_cast<void*>(data);
    SDL_PushEvent(&e);
    {
        std::lock_guard<std::mutex> guard(g_wakeMutex);
        ++g_wakeCount;
    }
    g_wakeCv.notify_all();
}

// Runs on SDL's timer thread: it only marks the tick and wakes the main thread.
Uint32 timerCallback(Uint32 interval, void* param) {
    const auto serial = reinterpret_cast<uintptr_t>(param);
    std::lock_guard<std::mutex> guard(g_timerMutex);
    auto it = g_timers.find(serial);
    if (it != g_timers.end() && !it->second.pending) {
        it->second.pending = true;
        pushUserEvent(Application::kTimerCode, serial);
    }
    return interval;
}

} // namespace

void Application::setDesktopId(const char* id) {
    setenv("SDL_VIDEO_X11_WMCLASS", id, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", id, 0);
}

bool Application::init() {
    if (g_initialized.load()) return true;
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // One close request per close: the window's own, not a second SDL_QUIT for the last window.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // The picture is composed in memory and only its changed areas reach the window: the frame copies (and
    // scales) them straight into the window's buffer, the display server's shared memory. An OpenGL renderer,
    // or SDL's default of backing the window's buffer with one, would load the whole GL stack (some 40 MB
    // more per process) and redraw the full picture on every present, which costs more CPU without a GPU
    // and at large scales. The environment's SDL_RENDER_DRIVER and SDL_FRAMEBUFFER_ACCELERATION still win.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) return false;
    // When no display answers, SDL quietly falls back to a driver that shows nothing, and the program would
    // run without a window anyone can see. Those drivers serve only when they were asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* wanted = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (driver != nullptr && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0) &&
        (wanted == nullptr || SDL_strstr(wanted, driver) == nullptr)) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "morphella: no display could be opened (DISPLAY is %s)\n",
                     display != nullptr && *display != '\0' ? display : "not set");
        SDL_Quit();
        return false;
    }
    g_mainThread = std::this_thread::get_id();
    Gamepads::start();
    const Uint32 type = SDL_RegisterEvents(1);
    g_userEvent.store(type == static_cast<Uint32>(-1) ? 0 : type);
    // Keys are translated by the program itself; SDL's text input events are not needed.
    SDL_StopTextInput();
    g_generation.fetch_add(1);
    g_initialized.store(true);
    if (hasPosted()) wake();
    return true;
}

void Application::shutdown() {
    if (!g_initialized.load()) return;
    std::map<uintptr_t, TimerEntry> timers;
    {
        std::lock_guard<std::mutex> guard(g_timerMutex);
        timers.swap(g_timers);
    }
    for (auto& [serial, entry] : timers)
        SDL_RemoveTimer(entry.sdlId);
    std::deque<Posted> dropped;
    {
        std::lock_guard<std::mutex> guard(g_postMutex);
        dropped.swap(g_posted);
        g_wakePending = false;
    }
    dropped.clear();
    g_initialized.store(false);
    g_userEvent.store(0);
    Gamepads::stop();
    SDL_Quit();
}

bool Application::isInitialized() {
    return g_initialized.load();
}

uint32_t Application::generation() {
    return g_generation.load();
}

bool Application::isMainThread() {
    return !g_initialized.load() || std::this_thread::get_id() == g_mainThread;
}

uint32_t Application::getTickCount() {
    const auto elapsed = std::chrono::steady_clock::now() - g_start;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

uint32_t Application::userEventType() {
    return g_userEvent.load();
}

void Application::wake() {
    pushUserEvent(kWakeCode, 0);
}

uint64_t Application::wakeCount() {
    std::lock_guard<std::mutex> guard(g_wakeMutex);
    return g_wakeCount;
}

void Application::waitForWake(uint64_t seen, uint32_t timeoutMs) {
    std::unique_lock<std::mutex> guard(g_wakeMutex);
    g_wakeCv.wait_for(guard, std::chrono::milliseconds(timeoutMs), [seen] { return g_wakeCount != seen; });
}

void Application::post(Component* target, std::function<void()> action) {
    if (!action) return;
    Posted p;
    p.target = lang::retain(target);
    p.targeted = target != nullptr;
    p.action = std::move(action);
    bool needWake = false;
    {
        std::lock_guard<std::mutex> guard(g_postMutex);
        g_posted.push_back(std::move(p));
        if (!g_wakePending && g_initialized.load()) {
            g_wakePending = true;
            needWake = true;
        }
    }
    if (needWake) wake();
}

bool Application::hasPosted() {
    std::lock_guard<std::mutex> guard(g_postMutex);
    return !g_posted.empty();
}

bool Application::runPosted() {
    std::deque<Posted> batch;
    {
        std::lock_guard<std::mutex> guard(g_postMutex);
        batch.swap(g_posted);
        g_wakePending = false;
    }
    for (Posted& p : batch) {
        if (p.targeted && !p.target->hasWindow()) continue;
        try {
            p.action();
        } catch (lang::Exception* e) {
            // A failing action must not take the message loop down with it.
            e->release();
        }
    }
    return !batch.empty();
}

void Application::setTimer(Component* component, int32_t id, uint32_t periodMs) {
    if (component == nullptr) return;
    killTimer(component, id);
    if (!g_initialized.load()) return;
    const uint32_t period = periodMs == 0 ? 1 : periodMs;
    std::lock_guard<std::mutex> guard(g_timerMutex);
    const uintptr_t serial = g_nextTimerSerial++;
    TimerEntry entry;
    entry.component = component;
    entry.id = id;
    g_timers[serial] = entry;
    // The callback takes the timer mutex too, so it cannot run before the entry is complete.
    const SDL_TimerID sdlId = SDL_AddTimer(period, timerCallback, reinterpret_cast<void*>(serial));
    if (sdlId == 0) {
        g_timers.erase(serial);
        return;
    }
    g_timers[serial].sdlId = sdlId;
}

void Application::killTimer(Component* component, int32_t id) {
    SDL_TimerID sdlId = 0;
    {
        std::lock_guard<std::mutex> guard(g_timerMutex);
        for (auto it = g_timers.begin(); it != g_timers.end(); ++it) {
            if (it->second.component == component && it->second.id == id) {
                sdlId = it->second.sdlId;
                g_timers.erase(it);
                break;
            }
        }
    }
    if (sdlId != 0) SDL_RemoveTimer(sdlId);
}

void Application::killTimers(Component* component) {
    std::vector<SDL_TimerID> ids;
    {
        std::lock_guard<std::mutex> guard(g_timerMutex);
        for (auto it = g_timers.begin(); it != g_timers.end();) {
            if (it->second.component == component) {
                ids.push_back(it->second.sdlId);
                it = g_timers.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (SDL_TimerID sdlId : ids)
        SDL_RemoveTimer(sdlId);
}

void Application::fireTimer(uintptr_t serial) {
    lang::Ref<Component> component;
    int32_t id = 0;
    {
        std::lock_guard<std::mutex> guard(g_timerMutex);
        auto it = g_timers.find(serial);
        // A timer killed after its tick was queued no longer answers.
        if (it == g_timers.end()) return;
        it->second.pending = false;
        component = lang::retain(it->second.component);
        id = it->second.id;
    }
    if (!component->hasWindow()) return;
    try {
        component->onTimer(id);
    } catch (lang::Exception* e) {
        e->release();
    }
}

} // namespace mph
