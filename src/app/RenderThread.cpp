// RenderThread: one tick every period from steady-clock deadlines, presents skipped when late.
#include "app/RenderThread.h"

#include "app/GameCanvas.h"
#include "app/RenderSchedule.h"
#include "app/ThreadErrors.h"
#include "audio/AudioSystem.h"
#include "runtime/Exception.h"
#include "runtime/SyncGuard.h"

#include <exception>

using namespace lang;

namespace mph {

RenderThread::RenderThread(GameCanvas* canvas, int32_t periodMs, bool skipAllowed)
    : m_canvas(retain(canvas)), m_periodMs(periodMs), m_skipAllowed(skipAllowed) {}

void RenderThread::requestStop() {
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
}

bool RenderThread::isStopRequested() const {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_stop;
}

template <class TimePoint> bool RenderThread::waitUntil(TimePoint deadline) {
    std::unique_lock<std::mutex> guard(m_mutex);
    m_wake.wait_until(guard, deadline, [this] { return m_stop; });
    return !m_stop;
}

void RenderThread::run() {
    using Clock = RenderSchedule::Clock;
    RenderSchedule schedule{std::chrono::milliseconds(m_periodMs), m_skipAllowed};
    schedule.start(Clock::now());
    while (!isStopRequested()) {
        RenderSchedule::Step step;
        try {
            const Clock::time_point began = Clock::now();
            {
                SyncGuard guard(m_canvas.get());
                m_canvas->tick();
                step = schedule.tickEnded(Clock::now());
                if (step.present) m_canvas->render();
            }
            m_canvas->noteTickTime(
                std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - began).count());
            m_canvas->afterTick();
        } catch (Exception* e) {
            reportThreadException("render thread", e->getMessage().str());
            e->release();
            waitUntil(Clock::now() + std::chrono::milliseconds(m_periodMs));
            continue;
        } catch (const std::exception& e) {
            reportThreadException("render thread", e.what());
            waitUntil(Clock::now() + std::chrono::milliseconds(m_periodMs));
            continue;
        }
        if (step.delay.count() > 0) waitUntil(schedule.nextDue());
    }
    // The game may have played sounds from its tick.
    releaseAudioThreadState();
}

} // namespace mph
