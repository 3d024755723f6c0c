// InputThread: the loop that takes one queued event after another and hands it to the game.
#include "app/InputThread.h"

#include "app/GameCanvas.h"
#include "app/ThreadErrors.h"
#include "audio/AudioSystem.h"
#include "platform/Event.h"
#include "runtime/Exception.h"
#include "runtime/SyncGuard.h"

#include <exception>

using namespace lang;

namespace mph {

InputThread::InputThread(GameCanvas* canvas) : m_canvas(retain(canvas)) {}

void InputThread::requestStop() {
    m_stop.store(true);
    Vector& queue = m_canvas->eventQueue();
    SyncGuard guard(&queue);
    queue.notify();
}

void InputThread::run() {
    Vector& queue = m_canvas->eventQueue();
    while (!m_stop.load()) {
        try {
            Ref<Event> event;
            {
                SyncGuard guard(&queue);
                if (queue.size() > 0) {
                    event = retain(static_cast<Event*>(queue.elementAt(0)));
                    queue.removeElementAt(0);
                }
            }
            m_canvas->takeEvent(event.get());
            // No lock is held here: the game locks what it shares with the tick itself.
            m_canvas->handleEvent();
            m_canvas->dropEvent();
        } catch (Exception* e) {
            m_canvas->dropEvent();
            reportThreadException("input thread", e->getMessage().str());
            e->release();
        } catch (const std::exception& e) {
            m_canvas->dropEvent();
            reportThreadException("input thread", e.what());
        }
        SyncGuard guard(&queue);
        while (queue.size() == 0 && !m_stop.load())
            queue.wait(kIdleWaitMs);
    }
    {
        SyncGuard guard(&queue);
        queue.removeAllElements();
    }
    // The game's handler may have played sounds from this thread.
    releaseAudioThreadState();
}

} // namespace mph
