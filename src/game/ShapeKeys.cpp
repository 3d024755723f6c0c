// ShapeCanvas: the keyboard: the keys queued from the window, the typed codes, pause and the trash, the
// name prompt's typing, and the focus keys (Tab, the arrows, Enter and space).
#include "game/ShapeParts.h"

#include "platform/Event.h"
#include "platform/Frame.h"

#include <cstring>

using namespace lang;

namespace mph {

namespace {
constexpr int32_t kKeyTab = 9;
constexpr int32_t kKeyEnter = 13;
constexpr int32_t kKeyPause = 0x13;
constexpr int32_t kKeyEscape = 27;
constexpr int32_t kKeySpace = 32;
constexpr int32_t kKeyLeft = 37;
constexpr int32_t kKeyUp = 38;
constexpr int32_t kKeyRight = 39;
constexpr int32_t kKeyDown = 40;
constexpr int32_t kKeyF11 = 122;
} // namespace

bool ShapeCanvas::keyDown(Event* event, int32_t) {
    if (!isRunning() || !m_bound || event == nullptr) return false;
    // The frame's own keys: F11, and Escape while full screen.
    if (event->x == kKeyF11) return false;
    if (event->x == kKeyEscape && (m_watch == nullptr || !m_watch->isWatching())) {
        Frame* frame = getFrame();
        if (frame != nullptr && frame->isFullScreen()) return false;
    }
    // Keys take the same queue as the mouse, so the game sees every input in the order it came and a
    // key may wait for drawn frames or the score service as a click does.
    return queueEvent(event);
}

bool ShapeCanvas::keyUp(Event* event, int32_t) {
    if (!isRunning() || !m_bound || event == nullptr) return false;
    return queueEvent(event);
}

void ShapeCanvas::handleKey(Event* event) {
    if (event == nullptr || !m_bound) return;
    SyncGuard guard(this);
    const int32_t virtualKey = event->x;
    // A recorded game shown over this one takes the keys, but for the release of the key whose press
    // started it: that press belongs to this game.
    if (m_watch != nullptr && m_watch->isWatching() &&
        !(event->id == Event::kKeyUp && m_heldKey != 0 && virtualKey == m_heldKey)) {
        m_watch->takeKey(virtualKey, event->id != Event::kKeyUp);
        return;
    }
    if (event->id == Event::kKeyUp) {
        // Only the release of the key that holds a press matters: it ends the press (a chooser's button
        // repeats until then).
        if (m_heldKey == 0 || virtualKey != m_heldKey) return;
        GameInput input;
        input.kind = GameInput::kKey;
        input.id = Event::kKeyUp;
        input.x = virtualKey;
        input.y = event->modifiers & Event::kShiftMask;
        input.key = event->key;
        beginInput(input);
        m_heldKey = 0;
        focusAction(FocusAction::Release);
        return;
    }
    // Where no frame took F11 first (a run without a window), the game asks for it itself.
    if (virtualKey == kKeyF11) {
        toggleFullScreen();
        return;
    }
    handleKeyDown(event);
}

bool ShapeCanvas::isFocusKey(int32_t virtualKey) const {
    return virtualKey == kKeyTab || virtualKey == kKeyEnter || virtualKey == kKeySpace ||
           (virtualKey >= kKeyLeft && virtualKey <= kKeyDown);
}

void ShapeCanvas::focusKey(int32_t virtualKey, bool shift) {
    switch (virtualKey) {
    case kKeyTab:
        focusAction(shift ? FocusAction::Previous : FocusAction::Next);
        break;
    case kKeyLeft:
        focusAction(FocusAction::Left);
        break;
    case kKeyRight:
        focusAction(FocusAction::Right);
        break;
    case kKeyUp:
        focusAction(FocusAction::Up);
        break;
    case kKeyDown:
        focusAction(FocusAction::Down);
        break;
    case kKeyEnter:
    case kKeySpace:
        m_heldKey = virtualKey;
        focusAction(FocusAction::Press);
        break;
    default:
        break;
    }
}

bool ShapeCanvas::handleKeyDown(Event* event) {
    const int32_t virtualKey = event->x;
    const int32_t key = event->key;
    const bool shift = (event->modifiers & Event::kShiftMask) != 0;
    // A held Enter or space repeats while it is down; only its first press counts.
    if (m_heldKey != 0 && virtualKey == m_heldKey) return true;
    GameInput input;
    input.kind = GameInput::kKey;
    input.id = Event::kKeyDown;
    input.x = virtualKey;
    input.y = event->modifiers & Event::kShiftMask;
    input.key = key;
    beginInput(input);
    std::memmove(m_typedKeys, m_typedKeys + 1, 3);
    m_typedKeys[3] = static_cast<char>(key);
    // A player at the keyboard needs no keyboard on the screen.
    if (keyboardShown()) showKeyboard(false);
    return actOnKey(virtualKey, key, shift, event, true);
}

bool ShapeCanvas::actOnKey(int32_t virtualKey, int32_t key, bool shift, Event* event, bool typed) {
    // A dialog that keeps the focus to itself takes the focus keys; the name prompt takes what is typed
    // (space included).
    std::vector<FocusStop> stops;
    const std::string scope = collectFocus(stops);
    if (!scope.empty()) {
        // In the name prompt, space is typed and Enter takes the name, unless a ring shows the button it
        // presses.
        const bool typing = m_namePrompt->isVisible() && scope == "hsprompt";
        const bool typed = virtualKey == kKeySpace || (virtualKey == kKeyEnter && !m_focusShown);
        if (isFocusKey(virtualKey) && !(typing && typed)) {
            focusKey(virtualKey, shift);
            return true;
        }
        if (typing) {
            editName(event, key);
            return true;
        }
    }
    switch (m_state) {
    case kPlaying:
        if (typed) checkTypedCodes();
        if (virtualKey == kKeyPause || key == 'P' || key == 'p') {
            togglePause();
            return true;
        }
        if (key == kKeySpace) {
            if (m_held->isVisible())
                discardHeldShape();
            else
                discardTrayHead();
            return true;
        }
        break;
    case kPaused:
        // Tab and the arrows reach the side panel and Enter presses what a ring shows; any other key goes
        // on with the game.
        if (virtualKey == kKeyTab || (virtualKey >= kKeyLeft && virtualKey <= kKeyDown) ||
            (virtualKey == kKeyEnter && m_focusShown))
            break;
        togglePause();
        return true;
    default:
        break;
    }
    if (isFocusKey(virtualKey)) focusKey(virtualKey, shift);
    return true;
}

} // namespace mph
