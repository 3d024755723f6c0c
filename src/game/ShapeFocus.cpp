// ShapeCanvas: the focus that lets the whole game be played without a pointer: which items it can rest on,
// how it moves, what a press on each does (exactly what a pointer's press there does), and its rings.
#include "game/ShapeParts.h"

#include "platform/Event.h"
#include "runtime/Enumeration.h"
#include "sprites/FocusRingSprite.h"
#include "sprites/KeyboardSprite.h"

using namespace lang;

namespace mph {

namespace {
// The dialogs a focus can be in, and the side panel's buttons in the order Tab visits them.
constexpr const char* kFocusDialogs[] = {"startdialog", "bonusdlg", "menudlg",   "exitdlg", "instdlg",
                                         "optdlg",      "hsprompt", "globalask", "hsdlg"};
constexpr const char* kPanelButtons[] = {"pauseButton", "resumeButton", "continueButton", "menuButton",
                                         "exitButton"};
// The board's stop: no sprite has this name.
constexpr const char* kBoardStop = "#board";
// A knob moves this many volume steps a key.
constexpr int32_t kKnobStep = 8;
// How round the rings around tray shapes and holes are.
constexpr int32_t kCellRound = 12;

Rectangle centreOf(const Rectangle& r) {
    return Rectangle(r.x + r.width / 2, r.y + r.height / 2, 0, 0);
}
} // namespace

// ---- Where the focus can be ----

void ShapeCanvas::addDialogStops(DialogSprite* dialog, const std::string& path, int32_t x, int32_t y,
                                 std::vector<FocusStop>& stops) {
    std::vector<DialogSprite::FocusItem> items;
    dialog->focusItems(items);
    std::vector<Rectangle> bounds;
    for (const auto& item : items)
        bounds.push_back(item.bounds);
    for (int32_t i : FocusNavigator::readingOrder(bounds)) {
        const auto& item = items[i];
        FocusStop stop;
        stop.path = path + "/" + item.name.str();
        stop.bounds = Rectangle(item.bounds.x + x, item.bounds.y + y, item.bounds.width, item.bounds.height);
        stop.holder = dialog;
        stop.name = item.name;
        stop.adjustable = item.adjustable;
        stops.push_back(stop);
    }
}

std::string ShapeCanvas::collectFocus(std::vector<FocusStop>& stops) {
    stops.clear();
    if (m_state == kCurtainsClosing || m_state == kCurtainsOpening) return std::string();
    // The topmost modal dialog keeps the focus to itself, and within it a nested one that is showing.
    DialogSprite* top = nullptr;
    std::string path;
    int32_t topIndex = -1;
    for (const char* name : kFocusDialogs) {
        DialogSprite* d = dialog(name);
        if (d == nullptr || !d->isVisible() || !d->isModal()) continue;
        const int32_t index = indexOfSprite(d);
        if (index > topIndex) {
            top = d;
            path = name;
            topIndex = index;
        }
    }
    if (top != nullptr) {
        int32_t x = top->getX();
        int32_t y = top->getY();
        for (DialogSprite* child = top->focusedChild(); child != nullptr; child = top->focusedChild()) {
            std::string childName;
            if (Hashtable* names = top->getNames()) {
                Ref<Enumeration> keys = adopt(names->keys());
                while (keys->hasMoreElements() && childName.empty()) {
                    Object* key = keys->nextElement();
                    if (names->get(key) == child) childName = key->toString().str();
                }
            }
            if (childName.empty()) break;
            path += "/" + childName;
            x += child->getX();
            y += child->getY();
            top = child;
        }
        addDialogStops(top, path, x, y, stops);
        return path;
    }
    // Otherwise the start dialog's buttons, the board while a game is played, and the side panel.
    for (const char* name : kFocusDialogs) {
        DialogSprite* d = dialog(name);
        if (d != nullptr && d->isVisible()) addDialogStops(d, name, d->getX(), d->getY(), stops);
    }
    if (m_state == kPlaying) {
        FocusStop board;
        board.path = kBoardStop;
        board.board = true;
        board.bounds =
            Rectangle(m_layout.trayLeft, m_layout.trayTop, m_layout.trayWidth, m_layout.trayHeight);
        stops.push_back(board);
    }
    for (const char* name : kPanelButtons) {
        auto* button = as<ButtonSprite>(findSprite(name));
        if (button == nullptr || !button->isVisible() || button->getState() == ButtonSprite::Disabled)
            continue;
        FocusStop stop;
        stop.path = name;
        stop.bounds = button->getBounds();
        stop.name = name;
        stops.push_back(stop);
    }
    return std::string();
}

int32_t ShapeCanvas::resolveFocus(const std::vector<FocusStop>& stops, const std::string& scope,
                                  bool commit) {
    std::string chosen = scope == m_focusScope ? m_focusPath : std::string();
    int32_t found = -1;
    for (size_t i = 0; i < stops.size() && found < 0; ++i)
        if (!chosen.empty() && stops[i].path == chosen) found = static_cast<int32_t>(i);
    if (found < 0) {
        chosen.clear();
        // Nothing chosen here yet: the board while playing, a finished level's continue button, else the
        // first.
        for (size_t i = 0; i < stops.size() && found < 0; ++i)
            if (stops[i].board || stops[i].path == "continueButton") found = static_cast<int32_t>(i);
        if (found < 0 && !stops.empty()) found = 0;
    }
    if (commit) {
        m_focusScope = scope;
        m_focusPath = chosen;
    }
    return found;
}

// ---- Acting ----

void ShapeCanvas::focusAction(FocusAction action) {
    SyncGuard guard(this);
    if (!m_bound) return;
    if (action == FocusAction::Release) {
        releaseFocusPress();
        updateFocusRings();
        return;
    }
    std::vector<FocusStop> stops;
    const std::string scope = collectFocus(stops);
    const int32_t current = resolveFocus(stops, scope, true);
    // While the rings are hidden, any action only shows where the focus is.
    const bool shown = m_focusShown;
    m_focusShown = true;
    if (current < 0 || !shown) {
        updateFocusRings();
        return;
    }
    const FocusStop stop = stops[current];
    const int32_t count = static_cast<int32_t>(stops.size());
    auto moveBy = [&](int32_t delta) {
        m_focusPath = stops[((current + delta) % count + count) % count].path;
    };
    switch (action) {
    case FocusAction::Next:
    case FocusAction::Previous:
        moveBy(action == FocusAction::Next ? 1 : -1);
        break;
    case FocusAction::Left:
    case FocusAction::Right:
    case FocusAction::Up:
    case FocusAction::Down:
        if (stop.board) {
            boardMove(action);
        } else if (stop.adjustable && (action == FocusAction::Left || action == FocusAction::Right)) {
            stop.holder->adjustItem(stop.name, action == FocusAction::Right ? kKnobStep : -kKnobStep);
        } else {
            moveBy(action == FocusAction::Right || action == FocusAction::Down ? 1 : -1);
        }
        break;
    case FocusAction::Press:
        if (stop.board) {
            boardPress();
        } else if (!stop.adjustable) {
            const Rectangle centre = centreOf(stop.bounds);
            pressAt(centre.x, centre.y);
        }
        break;
    default:
        break;
    }
    updateFocusRings();
}

void ShapeCanvas::pressAt(int32_t x, int32_t y) {
    releaseFocusPress();
    Ref<Event> press = make<Event>(Event::kMouseDown, nullptr, x, y, 0, m_inputClock);
    press->clickCount = 1;
    m_pressPending = true;
    m_pressX = x;
    m_pressY = y;
    handlePress(press.get());
}

void ShapeCanvas::releaseFocusPress() {
    if (!m_pressPending) return;
    m_pressPending = false;
    Ref<Event> release = make<Event>(Event::kMouseUp, nullptr, m_pressX, m_pressY, 0, m_inputClock);
    handleRelease(release.get());
}

// ---- The board: the tray and the target hole ----

int32_t ShapeCanvas::trayFocusIndex() {
    const int32_t trayEnd = m_layout.trayLeft + m_layout.trayWidth;
    auto arrived = [&](int32_t i) {
        const ShapeSprite* s = m_tray[i].get();
        return s->isVisible() && s->getX() < m_layout.boardRight() &&
               s->getX() + m_layout.shapeWidth <= trayEnd;
    };
    // The focused place, or the nearest arrived one before it (shapes close up towards the front).
    for (int32_t i = std::min(m_trayFocus, kTraySize - 1); i >= 0; --i)
        if (arrived(i)) return i;
    for (int32_t i = 0; i < kTraySize; ++i)
        if (arrived(i)) return i;
    return -1;
}

void ShapeCanvas::acceptingHoles(std::vector<int32_t>& slots, std::vector<Rectangle>& bounds) {
    slots.clear();
    bounds.clear();
    if (!m_held->isVisible()) return;
    const int32_t frame = m_held->getFrame();
    const bool wild = isWildcard(frame);
    for (int32_t r = 0; r < m_rowCount; ++r) {
        const RowState& row = m_rows[r];
        if (row.cleared) continue;
        for (int32_t s = row.firstSlot; s < row.firstSlot + m_slotsPerRow; ++s) {
            SlotSprite* slot = m_slots[s].get();
            if (!slot->isVisible() || m_placed[s]->isVisible() || (slot->getFrame() != frame && !wild))
                continue;
            // In view: its middle over the board, where a drop there is taken.
            const int32_t middle = slot->getX() + slot->getWidth() / 2;
            if (middle < m_layout.boardLeft || middle >= m_layout.boardRight()) continue;
            if (slot->getX() <= m_layout.boardLeft - m_layout.slotPitch + 10 ||
                slot->getX() >= m_layout.boardRight() - 10)
                continue;
            slots.push_back(s);
            bounds.push_back(slot->getBounds());
        }
    }
}

void ShapeCanvas::followTarget() {
    if (!m_held->isVisible()) {
        m_target = -1;
        return;
    }
    std::vector<int32_t> slots;
    std::vector<Rectangle> bounds;
    acceptingHoles(slots, bounds);
    if (std::find(slots.begin(), slots.end(), m_target) != slots.end()) return;
    // The hole scrolled away or was filled: the nearest other one takes the ring.
    const Rectangle from =
        m_target >= 0 ? centreOf(m_slots[m_target]->getBounds()) : centreOf(m_held->getBounds());
    const int32_t nearest = FocusNavigator::nearest(bounds, from.x, from.y);
    m_target = nearest >= 0 ? slots[nearest] : -1;
}

void ShapeCanvas::boardMove(FocusAction action) {
    if (!m_held->isVisible()) {
        const int32_t at = trayFocusIndex();
        if (at < 0) return;
        if (action == FocusAction::Up) {
            m_trayFocus = at;
            boardPress();
            return;
        }
        if (action != FocusAction::Left && action != FocusAction::Right) return;
        // The next arrived shape that way; at either end the focus stays.
        const int32_t step = action == FocusAction::Right ? 1 : -1;
        m_trayFocus = at;
        for (int32_t i = at + step; i >= 0 && i < kTraySize; i += step) {
            m_trayFocus = i;
            if (trayFocusIndex() == i) return;
        }
        m_trayFocus = at;
        return;
    }
    followTarget();
    std::vector<int32_t> slots;
    std::vector<Rectangle> bounds;
    acceptingHoles(slots, bounds);
    const auto at = std::find(slots.begin(), slots.end(), m_target);
    if (at == slots.end()) return;
    const int32_t next = FocusNavigator::move(bounds, static_cast<int32_t>(at - slots.begin()), action);
    if (next >= 0) m_target = slots[next];
}

void ShapeCanvas::boardPress() {
    if (m_held->isVisible()) {
        followTarget();
        if (m_target < 0) return;
        // Exactly what letting go of the pointer over the hole's middle does.
        const Rectangle centre = centreOf(m_slots[m_target]->getBounds());
        Ref<Event> release = make<Event>(Event::kMouseUp, nullptr, centre.x, centre.y, 0, m_inputClock);
        handleRelease(release.get());
        if (!m_held->isVisible()) m_target = -1;
        return;
    }
    const int32_t at = trayFocusIndex();
    if (at < 0) return;
    m_trayFocus = at;
    // A quick click on the shape takes it into the hand.
    const Rectangle centre = centreOf(m_tray[at]->getBounds());
    Ref<Event> press = make<Event>(Event::kMouseDown, nullptr, centre.x, centre.y, 0, m_inputClock);
    press->clickCount = 1;
    handlePress(press.get());
    Ref<Event> release = make<Event>(Event::kMouseUp, nullptr, centre.x, centre.y, 0, m_inputClock);
    handleRelease(release.get());
    m_target = -1;
    followTarget();
}

void ShapeCanvas::resetFocus() {
    m_focusScope.clear();
    m_focusPath.clear();
    m_trayFocus = 0;
    m_target = -1;
    m_heldKey = 0;
    m_pressPending = false;
    m_pointerPressed = false;
}

// ---- The rings ----

void ShapeCanvas::focusBoard() {
    std::vector<FocusStop> stops;
    const std::string scope = collectFocus(stops);
    if (!scope.empty()) return;
    for (const FocusStop& stop : stops) {
        if (!stop.board) continue;
        m_focusScope = scope;
        m_focusPath = stop.path;
    }
}

void ShapeCanvas::updateFocusRings() {
    if (!m_focusRing || !m_targetRing) return;
    // The on-screen keyboard always shows which key A types.
    if (keyboardShown()) {
        m_focusRing->surround(m_keyboard->focusedBounds(), KeyboardSprite::kKeyRound);
        if (m_targetRing->isVisible()) m_targetRing->setVisible(false);
        return;
    }
    bool focusOn = false;
    bool targetOn = false;
    if (m_focusShown) {
        std::vector<FocusStop> stops;
        const std::string scope = collectFocus(stops);
        const int32_t current = resolveFocus(stops, scope, false);
        if (current >= 0 && stops[current].board) {
            if (m_held->isVisible()) {
                followTarget();
                if (m_target >= 0) {
                    SlotSprite* slot = m_slots[m_target].get();
                    m_targetRing->surround(slot->getBounds(), kCellRound);
                    // The held shape waits over its hole, so the player sees what goes where.
                    if (m_held->getX() != slot->getX() || m_held->getY() != slot->getY())
                        m_held->setLocation(slot->getX(), slot->getY());
                    targetOn = true;
                }
            } else if (const int32_t at = trayFocusIndex(); at >= 0) {
                m_focusRing->surround(m_tray[at]->getBounds(), kCellRound);
                focusOn = true;
            }
        } else if (current >= 0) {
            const Rectangle& b = stops[current].bounds;
            m_focusRing->surround(b, std::min(b.width, b.height) / 2);
            focusOn = true;
        }
    }
    if (!focusOn && m_focusRing->isVisible()) m_focusRing->setVisible(false);
    if (!targetOn && m_targetRing->isVisible()) m_targetRing->setVisible(false);
}

// ---- What the driver reports ----

std::string ShapeCanvas::focusPath() {
    SyncGuard guard(this);
    if (!m_bound || !m_focusShown) return std::string();
    std::vector<FocusStop> stops;
    const int32_t current = resolveFocus(stops, collectFocus(stops), false);
    return current >= 0 && !stops[current].board ? stops[current].path : std::string();
}

int32_t ShapeCanvas::focusedTray() {
    SyncGuard guard(this);
    if (!m_bound || !m_focusShown || m_held->isVisible()) return -1;
    std::vector<FocusStop> stops;
    const int32_t current = resolveFocus(stops, collectFocus(stops), false);
    return current >= 0 && stops[current].board ? trayFocusIndex() : -1;
}

int32_t ShapeCanvas::focusedTarget() {
    SyncGuard guard(this);
    if (!m_bound || !m_focusShown || !m_held->isVisible()) return -1;
    std::vector<FocusStop> stops;
    const int32_t current = resolveFocus(stops, collectFocus(stops), false);
    return current >= 0 && stops[current].board ? m_target : -1;
}

} // namespace mph
