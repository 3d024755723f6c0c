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
        m_caption.attach(*this);
    }
    if (m_leaveAsked.load()) {
        if (!m_quitAsked) requestQuit();
        m_quitAsked = true;
        return;
    }
    m_caption.setStatus(m_paused.load(), m_speed.load());
    if (m_ended.load() || m_paused.load()) {
        // The recorded game stands still, its ticks uncounted and its sprites untouched (their steps would
        // change it); only the banner and the card are painted again.
        invalidate(m_caption.area());
        return;
    }
    for (int32_t i = m_speed.load(); i > 0 && !m_driver.stopped(); --i) {
        m_driver.deliverDue();
        if (!m_driver.stopped()) ShapeCanvas::tick();
    }
    // A recording whose records ran out before its game ended shows where it stopped.
    if (m_driver.stopped() && !m_ended.load()) onGameEnd(getScore(), getLevel());
}

void ReplayCanvas::handleEvent() {
    Event* event = getCurrentEvent();
    if (event != nullptr && event->id == Event::kMouseDown && m_ended.load()) m_leaveAsked.store(true);
}

void ReplayCanvas::waitForFrame() {
    // The render thread itself handles the input, so the frames it waits for run right here.
    m_driver.frameWait();
    reportResume();
}

void ReplayCanvas::onGameEnd(int32_t score, int32_t level) {
    m_ended.store(true);
    m_driver.stop();
    m_caption.showEnd(score, level);
}

bool ReplayCanvas::keyDown(Event* event, int32_t key) {
    // Once the game has ended, any key leaves.
    if (m_ended.load()) {
        m_leaveAsked.store(true);
        return true;
    }
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
