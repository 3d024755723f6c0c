// ReplayCanvas: ticks driven by the recording, the viewer's keys and the end of the show.
#include "replay/ReplayCanvas.h"

#include "platform/Event.h"
#include "runtime/SyncGuard.h"

#include <algorithm>

using namespace lang;

namespace mph {

ReplayCanvas::ReplayCanvas(ReplayFile file)
    : ShapeCanvas(file.start.randomSeed), m_file(std::move(file)), m_driver(m_file, *this) {
    setObserver(this);
}

ReplayCanvas::~ReplayCanvas() {
    setObserver(nullptr);
}

void ReplayCanvas::tick() {
    SyncGuard guard(this);
    if (!isBound()) {
        ShapeCanvas::tick();
        return;
    }
    if (!m_started) {
        m_started = true;
        m_driver.begin();
    }
    if (m_ended.load()) {
        if (!m_quitAsked) requestQuit();
        m_quitAsked = true;
        return;
    }
    if (m_paused.load()) return;
    for (int32_t i = m_speed.load(); i > 0 && !m_driver.stopped(); --i) {
        m_driver.deliverDue();
        if (!m_driver.stopped()) ShapeCanvas::tick();
    }
}

void ReplayCanvas::waitForFrame() {
    // The render thread itself handles the input, so the frames it waits for run right here.
    m_driver.frameWait();
    reportResume();
}

void ReplayCanvas::onGameEnd(int32_t, int32_t) {
    m_ended.store(true);
    m_driver.stop();
}

bool ReplayCanvas::keyDown(Event* event, int32_t key) {
    switch (key) {
    case ' ':
        m_paused.store(!m_paused.load());
        return true;
    case Event::kRight:
        m_speed.store(std::min(m_speed.load() * 2, kMaxSpeed));
        return true;
    case Event::kLeft:
        m_speed.store(1);
        return true;
    case 27:
        requestQuit();
        return true;
    default:
        // The sound key still works.
        return GameCanvas::keyDown(event, key);
    }
}

} // namespace mph
