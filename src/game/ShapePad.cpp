// ShapeCanvas: gamepads and touch: the buttons mapped onto the keyboard's focus, the stick's pointer,
// and the on-screen keyboard beside the name prompt.
#include "game/ShapeParts.h"

#include "platform/Event.h"
#include "platform/PadButton.h"
#include "rules/StickPointer.h"
#include "sprites/KeyboardSprite.h"

using namespace lang;

namespace mph {

namespace {
constexpr int32_t kKeyBackspace = 8;
constexpr int32_t kKeyEnter = 13;
constexpr int32_t kKeySpace = 32;
constexpr int32_t kKeyLeft = 37;
constexpr int32_t kKeyUp = 38;
constexpr int32_t kKeyRight = 39;
constexpr int32_t kKeyDown = 40;
// What holds a focus press while the pad's A is down (no key has this code).
constexpr int32_t kPadHeldA = 0x10000;
constexpr int32_t kKeyEscape = 27;

// What a pad's button is to a recorded game shown over this one: A and Start pause it, B and Back leave,
// the D-pad's right and left speed it up and bring it back (0: nothing but leaving once it has ended).
int32_t watchKeyOf(int32_t button) {
    switch (button) {
    case kPadA:
    case kPadStart:
        return kKeySpace;
    case kPadB:
    case kPadBack:
        return kKeyEscape;
    case kPadRight:
        return kKeyRight;
    case kPadLeft:
        return kKeyLeft;
    default:
        return 0;
    }
}
constexpr int32_t kSub = StickPointer::kSubpixels;
// The room between the name prompt and the keyboard beside it, and their margin to the picture's edge.
constexpr int32_t kKeyboardGap = 8;

int32_t clampAxis(int32_t v) {
    return std::clamp(v, -32768, 32767);
}

Rectangle middleOf(const Rectangle& r) {
    return Rectangle(r.x + r.width / 2, r.y + r.height / 2, 0, 0);
}
} // namespace

void ShapeCanvas::handlePad(Event* event) {
    if (event == nullptr || !m_bound) return;
    SyncGuard guard(this);
    // A recorded game shown over this one takes the pad, but for the release of the A whose press started
    // it: that press belongs to this game.
    if (m_watch != nullptr && m_watch->isWatching() &&
        !(event->id == Event::kPadUp && event->x == kPadA && m_heldKey == kPadHeldA)) {
        if (event->id == Event::kPadDown) m_watch->takeKey(watchKeyOf(event->x), true);
        return;
    }
    GameInput input;
    if (event->id == Event::kStick) {
        input.kind = GameInput::kStick;
        input.x = clampAxis(event->x);
        input.y = clampAxis(event->y);
        beginInput(input);
        // The pointer moves with the ticks, so a recorded game moves it alike.
        m_stickX = input.x;
        m_stickY = input.y;
        return;
    }
    const int32_t button = event->x;
    if ((event->id != Event::kPadDown && event->id != Event::kPadUp) || button < 0 ||
        button >= kPadButtonCount)
        return;
    input.kind = GameInput::kPad;
    input.id = event->id;
    input.x = button;
    beginInput(input);
    if (event->id == Event::kPadDown)
        padPress(button);
    else
        padRelease(button);
}

void ShapeCanvas::padPress(int32_t button) {
    if (keyboardShown() && keyboardButton(button)) return;
    switch (button) {
    case kPadUp:
    case kPadDown:
    case kPadLeft:
    case kPadRight: {
        m_pointerLast = false;
        showPointer(false);
        const int32_t key = button == kPadUp     ? kKeyUp
                            : button == kPadDown ? kKeyDown
                            : button == kPadLeft ? kKeyLeft
                                                 : kKeyRight;
        actOnKey(key, key + 1000, false, nullptr, false);
        break;
    }
    case kPadL:
    case kPadR: {
        m_pointerLast = false;
        showPointer(false);
        const bool left = button == kPadL;
        if (m_state == kPlaying) {
            // Along the tray (or between the holes while a shape is held), wherever the focus was.
            focusBoard();
            focusAction(left ? FocusAction::Left : FocusAction::Right);
        } else {
            focusAction(left ? FocusAction::Previous : FocusAction::Next);
        }
        break;
    }
    case kPadA:
        if (m_pointerLast) {
            // After the stick, A is the mouse button at the pointer.
            releaseFocusPress();
            m_pointerPressed = true;
            Ref<Event> press =
                make<Event>(Event::kMouseDown, nullptr, pointerX(), pointerY(), 0, m_inputClock);
            press->clickCount = 1;
            handlePress(press.get());
        } else if (m_heldKey != kPadHeldA) {
            actOnKey(kKeyEnter, kKeyEnter, false, nullptr, false);
            if (m_heldKey == kKeyEnter) m_heldKey = kPadHeldA;
        }
        break;
    case kPadB:
        if (m_state == kPlaying) {
            std::vector<FocusStop> stops;
            if (collectFocus(stops).empty()) {
                actOnKey(kKeySpace, kKeySpace, false, nullptr, false);
                break;
            }
        }
        closeTopDialog();
        break;
    case kPadStart: {
        std::vector<FocusStop> stops;
        const bool dialogOpen = !collectFocus(stops).empty();
        if (m_state == kPlaying || (m_state == kPaused && !dialogOpen)) {
            togglePause();
        } else if (!dialogOpen && m_continueButton->isVisible() &&
                   m_continueButton->getState() != ButtonSprite::Disabled) {
            clickAt(m_continueButton->getBounds());
        }
        break;
    }
    case kPadBack: {
        std::vector<FocusStop> stops;
        if (collectFocus(stops).empty() && m_menuButton && m_menuButton->isVisible() &&
            m_menuButton->getState() != ButtonSprite::Disabled)
            clickAt(m_menuButton->getBounds());
        break;
    }
    default:
        break;
    }
}

void ShapeCanvas::padRelease(int32_t button) {
    if (button != kPadA) return;
    if (m_pointerPressed) {
        m_pointerPressed = false;
        Ref<Event> release = make<Event>(Event::kMouseUp, nullptr, pointerX(), pointerY(), 0, m_inputClock);
        handleRelease(release.get());
    } else if (m_heldKey == kPadHeldA) {
        m_heldKey = 0;
        focusAction(FocusAction::Release);
    }
}

void ShapeCanvas::clickAt(const Rectangle& bounds) {
    const Rectangle middle = middleOf(bounds);
    pressAt(middle.x, middle.y);
    releaseFocusPress();
}

bool ShapeCanvas::closeTopDialog() {
    std::vector<FocusStop> stops;
    if (collectFocus(stops).empty()) return false;
    for (const FocusStop& stop : stops) {
        if (stop.name == "bclose") {
            clickAt(stop.bounds);
            updateFocusRings();
            return true;
        }
    }
    return false;
}

// ---- The stick's pointer ----

int32_t ShapeCanvas::pointerX() {
    return m_pointerX / kSub;
}

int32_t ShapeCanvas::pointerY() {
    return m_pointerY / kSub;
}

void ShapeCanvas::notePointer(int32_t x, int32_t y) {
    m_pointerX = std::clamp(x, 0, kScreenWidth - 1) * kSub;
    m_pointerY = std::clamp(y, 0, kScreenHeight - 1) * kSub;
    showPointer(false);
}

void ShapeCanvas::showPointer(bool on) {
    if (!m_pointer) return;
    if (on) {
        // The cursor picture's tip is one pixel in from its corner.
        const int32_t x = pointerX() - 1;
        const int32_t y = pointerY() - 1;
        if (m_pointer->getX() != x || m_pointer->getY() != y) m_pointer->setLocation(x, y);
    }
    if (m_pointer->isVisible() != on) m_pointer->setVisible(on);
}

void ShapeCanvas::stepPointer() {
    int32_t dx = 0, dy = 0;
    StickPointer::step(m_stickX, m_stickY, dx, dy);
    if (dx == 0 && dy == 0) return;
    m_pointerX = std::clamp(m_pointerX + dx, 0, (kScreenWidth - 1) * kSub);
    m_pointerY = std::clamp(m_pointerY + dy, 0, (kScreenHeight - 1) * kSub);
    m_pointerLast = true;
    // The pointer is in use: the focus rings give way to it, as to the mouse.
    if (m_focusShown) {
        m_focusShown = false;
        updateFocusRings();
    }
    showPointer(true);
    Ref<Event> move = make<Event>(m_pointerPressed ? Event::kMouseDrag : Event::kMouseMove, nullptr,
                                  pointerX(), pointerY(), 0, m_inputClock);
    handleMove(move.get());
}

// ---- The on-screen keyboard ----

bool ShapeCanvas::keyboardShown() {
    return m_keyboard && m_keyboard->isVisible();
}

std::string ShapeCanvas::keyboardKey() {
    SyncGuard guard(this);
    return keyboardShown() ? m_keyboard->focusedLabel() : std::string();
}

void ShapeCanvas::showKeyboard(bool on) {
    if (!m_keyboard || !m_namePrompt) return;
    if (on == keyboardShown()) return;
    if (on) {
        // The prompt steps aside to make room, both together centred across the picture.
        m_promptX = m_namePrompt->getX();
        const int32_t width = m_namePrompt->getWidth() + kKeyboardGap + m_keyboard->getWidth();
        const int32_t left = std::max(0, (kScreenWidth - width) / 2);
        m_namePrompt->setLocation(left, m_namePrompt->getY());
        m_keyboard->reset();
        m_keyboard->setLocation(left + m_namePrompt->getWidth() + kKeyboardGap,
                                m_namePrompt->getY() +
                                    (m_namePrompt->getHeight() - m_keyboard->getHeight()) / 2);
        m_keyboard->setVisible(true);
        m_focusShown = true;
    } else {
        m_keyboard->setVisible(false);
        m_namePrompt->setLocation(m_promptX, m_namePrompt->getY());
    }
    updateFocusRings();
}

bool ShapeCanvas::keyboardButton(int32_t button) {
    switch (button) {
    case kPadUp:
        m_keyboard->move(0, -1);
        break;
    case kPadDown:
        m_keyboard->move(0, 1);
        break;
    case kPadLeft:
        m_keyboard->move(-1, 0);
        break;
    case kPadRight:
        m_keyboard->move(1, 0);
        break;
    case kPadA: {
        const int32_t code = m_keyboard->focusedCode();
        if (code == KeyboardSprite::kShift)
            m_keyboard->toggleCase();
        else if (code == KeyboardSprite::kBackspace)
            editName(nullptr, kKeyBackspace);
        else if (code == KeyboardSprite::kOk)
            editName(nullptr, kKeyEnter);
        else
            editName(nullptr, code == KeyboardSprite::kSpace ? kKeySpace : code);
        break;
    }
    case kPadB:
        editName(nullptr, kKeyBackspace);
        break;
    case kPadStart:
        editName(nullptr, kKeyEnter);
        break;
    default:
        return false;
    }
    if (!m_namePrompt->isVisible()) showKeyboard(false);
    updateFocusRings();
    return true;
}

} // namespace mph
