// ReplayDriver: delivering recorded inputs at their ticks and recorded frame waits.
#include "replay/ReplayDriver.h"

#include "game/ShapeCanvas.h"
#include "platform/Event.h"
#include "runtime/SyncGuard.h"

using namespace lang;

namespace mph {

void ReplayDriver::begin() {
    SyncGuard guard(&m_target.canvas());
    m_target.canvas().beginRecordedGame(m_file.start);
}

void ReplayDriver::runTicksTo(int32_t tick) {
    while (!m_stopped && m_target.canvas().getFrameCounter() < tick)
        m_target.runTick();
}

void ReplayDriver::deliverInput(const GameInput& input) {
    m_target.setClock(input.clock);
    deliver(m_target.canvas(), input);
}

void ReplayDriver::deliverDue() {
    while (!m_stopped && m_next < m_file.events.size()) {
        const ReplayEvent& e = m_file.events[m_next];
        const int32_t now = m_target.canvas().getFrameCounter();
        if (e.input.tick > now) return;
        ++m_next;
        if (e.resume || e.input.tick < now) ++m_misfits;
        if (!e.resume) deliverInput(e.input);
    }
}

void ReplayDriver::frameWait() {
    const int32_t began = m_target.canvas().getFrameCounter();
    while (!m_stopped && m_next < m_file.events.size()) {
        const ReplayEvent& e = m_file.events[m_next++];
        runTicksTo(e.input.tick);
        if (e.resume) {
            // A wait lasts at least the one tick that draws the frame.
            if (e.input.tick <= began) ++m_misfits;
            return;
        }
        // Handled on another thread while the recorded input waited.
        if (m_target.canvas().getFrameCounter() > e.input.tick) ++m_misfits;
        deliverInput(e.input);
    }
    if (m_stopped) return;
    ++m_misfits;
    m_target.runTick();
}

void ReplayDriver::deliver(ShapeCanvas& canvas, const GameInput& input) {
    switch (input.kind) {
    case GameInput::kMouse: {
        Ref<Event> event = make<Event>(input.id, nullptr, input.x, input.y, 0, input.clock);
        event->clickCount = input.id == Event::kMouseDown ? 1 : 0;
        canvas.handleMouse(event.get());
        break;
    }
    case GameInput::kKey: {
        const int32_t id = input.id == Event::kKeyUp ? Event::kKeyUp : Event::kKeyDown;
        Ref<Event> event = make<Event>(id, nullptr, input.x, 0, input.y, input.clock);
        event->key = input.key;
        // The canvas's own handler, past whatever a subclass does with the keys of its viewer.
        canvas.handleKey(event.get());
        break;
    }
    case GameInput::kTouch: {
        Ref<Event> event = make<Event>(input.id, nullptr, input.x, input.y, Event::kTouchMask, input.clock);
        event->clickCount = input.id == Event::kMouseDown ? 1 : 0;
        canvas.handleMouse(event.get());
        break;
    }
    case GameInput::kPad:
    case GameInput::kStick: {
        const int32_t id = input.kind == GameInput::kStick ? Event::kStick
                           : input.id == Event::kPadUp     ? Event::kPadUp
                                                           : Event::kPadDown;
        Ref<Event> event = make<Event>(id, nullptr, input.x, input.y, 0, input.clock);
        canvas.handlePad(event.get());
        break;
    }
    case GameInput::kFocusLost:
        canvas.ShapeCanvas::pauseHook();
        break;
    default:
        break;
    }
}

} // namespace mph
