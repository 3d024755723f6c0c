// ShapeCanvas: routing the mouse (input thread) by state.
#include "game/ShapeParts.h"

#include "platform/Cursor.h"
#include "platform/Event.h"

using namespace lang;

namespace mph {

namespace {
constexpr int32_t kDragDropMs = 500;
} // namespace

void ShapeCanvas::handleEvent() {
    Event* event = getCurrentEvent();
    if (event != nullptr && (event->id == Event::kKeyDown || event->id == Event::kKeyUp))
        handleKey(event);
    else if (event != nullptr &&
             (event->id == Event::kPadDown || event->id == Event::kPadUp || event->id == Event::kStick))
        handlePad(event);
    else
        handleMouse(event);
}

void ShapeCanvas::handleMouse(Event* event) {
    if (event == nullptr || !m_bound) return;
    // The whole handling is one step between ticks; it lets ticks run only where it waits for a drawn
    // frame or for the score service.
    SyncGuard guard(this);
    // A recorded game shown over this one takes the pointer; the game below never hears of it.
    if (m_watch != nullptr && m_watch->isWatching()) {
        m_watch->takePointer(event->id);
        return;
    }
    const bool touch = (event->modifiers & Event::kTouchMask) != 0;
    GameInput input;
    input.kind = touch ? GameInput::kTouch : GameInput::kMouse;
    input.id = event->id;
    input.x = event->x;
    input.y = event->y;
    beginInput(input);
    // The mouse and a finger are the pointer now; the stick's drawn pointer gives way to them.
    notePointer(event->x, event->y);
    switch (event->id) {
    case Event::kMouseDown:
        // A finger lands where it is put down, with no way there: what is under it learns it first.
        if (touch) handleMove(event);
        handlePress(event);
        break;
    case Event::kMouseUp:
        handleRelease(event);
        // A lifted finger hovers over nothing.
        if (touch && !m_held->isVisible()) {
            Ref<Event> away =
                make<Event>(Event::kMouseMove, nullptr, -kScreenWidth, -kScreenHeight, 0, m_inputClock);
            handleMove(away.get());
        }
        break;
    case Event::kMouseMove:
    case Event::kMouseDrag:
        // The pointer is back in use: the focus rings give way.
        if (m_focusShown) {
            m_focusShown = false;
            updateFocusRings();
        }
        handleMove(event);
        break;
    default:
        break;
    }
}

void ShapeCanvas::handlePress(Event* event) {
    if (dispatchPress(event)) return;
    const int32_t x = event->x;
    const int32_t y = event->y;
    SyncGuard guard(this);
    switch (m_state) {
    case kPlaying:
        if (m_pauseButton->contains(x, y)) {
            togglePause();
        } else if (!m_held->isVisible()) {
            if (m_trash->contains(x, y) || m_trashRect->contains(x, y))
                discardTrayHead();
            else
                pickUp(x, y);
        } else {
            // The drop waits for drawn frames, so it runs without the lock.
            guard.unlock();
            dropHeldShape(x, y);
        }
        break;
    case kLevelComplete:
    case kBonusLost:
    case kBonusWon:
        if (m_continueButton->isClickable(x, y)) {
            startLevel(m_level);
            if (m_mode != kBonusRound) setHourglass(m_timeLeft, true);
            setState(kPlaying);
        }
        break;
    case kPaused:
        if (m_resumeButton->isClickable(x, y) || (m_paused->isVisible() && m_paused->contains(x, y)))
            togglePause();
        break;
    default:
        break;
    }
}

void ShapeCanvas::handleRelease(Event* event) {
    SyncGuard guard(this);
    if (m_held->isVisible()) {
        if (m_state != kPlaying) return;
        const bool heldLong = m_pickupTime != 0 && m_inputClock - m_pickupTime > kDragDropMs;
        if (heldLong || event->y < m_layout.trayTop || event->x < m_layout.trayLeft) {
            guard.unlock();
            dropHeldShape(event->x, event->y);
        }
        return;
    }
    if (m_state == kPlaying) return;
    m_chooserRepeat = 0;
    m_pressedChooserButton = String();
    Vector& list = sprites();
    SyncGuard listGuard(&list);
    for (int32_t i = list.size() - 1; i >= 0; --i) {
        auto* dialog = as<DialogSprite>(list.elementAt(i));
        if (dialog != nullptr && dialog->isVisible()) dialog->mouseUp(event->x, event->y);
    }
}

void ShapeCanvas::handleMove(Event* event) {
    SyncGuard guard(this);
    if (m_held->isVisible()) {
        m_held->setLocation(event->x - m_layout.shapeWidth / 2, event->y - m_layout.shapeHeight / 2);
        return;
    }
    bool hover = false;
    bool covered = false;
    Vector& list = sprites();
    SyncGuard listGuard(&list);
    for (int32_t i = list.size() - 1; i >= 0; --i) {
        Object* item = list.elementAt(i);
        if (auto* button = as<ButtonSprite>(item)) {
            if (button->track(event->x, event->y) && !covered) hover = true;
        } else if (auto* dialog = as<DialogSprite>(item)) {
            if (!dialog->isVisible()) continue;
            if (dialog->mouseMove(event->x, event->y) && !covered) hover = true;
            if (dialog->isModal()) break;
            if (dialog->contains(event->x, event->y)) covered = true;
        }
    }
    setHover(hover);
}

void ShapeCanvas::beginInput(GameInput input) {
    m_inputClock = currentMillis();
    input.tick = getFrameCounter();
    input.clock = m_inputClock;
    if (input.kind != GameInput::kFocusLost)
        m_lastFromPad = input.kind == GameInput::kPad || input.kind == GameInput::kStick;
    if (m_observer != nullptr) m_observer->onInput(input);
}

void ShapeCanvas::setHover(bool hover) {
    if (hover == m_hoverOnButton) return;
    m_hoverOnButton = hover;
    if (hasWindow()) setCursor(hover ? Cursor::getHand() : Cursor::getArrow());
}

} // namespace mph
