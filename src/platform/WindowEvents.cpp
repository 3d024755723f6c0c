// WindowEvents: the event dispatch of the window layer: keys to the focus, mouse to the component under the
// pointer or holding the capture, window state to the frame.
#include "platform/WindowEvents.h"

#include "platform/Application.h"
#include "platform/Cursor.h"
#include "platform/Event.h"
#include "platform/Frame.h"
#include "platform/FrameDisplay.h"
#include "platform/Gamepads.h"
#include "platform/InputTranslation.h"
#include "platform/WindowPicture.h"
#include "runtime/Ref.h"

#include <atomic>
#include <vector>

namespace mph {

namespace {

Component* g_focus = nullptr;
Component* g_capture = nullptr;
Component* g_hover = nullptr;
uint32_t g_buttonsDown = 0;
// The finger that acts as the pointer (-1: none), and whether the mouse's cursor shows.
SDL_FingerID g_finger = -1;
bool g_cursorShown = true;
std::atomic<int32_t> g_mouseX{0};
std::atomic<int32_t> g_mouseY{0};

void notePointer(int32_t x, int32_t y) {
    g_mouseX.store(x);
    g_mouseY.store(y);
}

lang::Point localPoint(Component* c, int32_t x, int32_t y) {
    const lang::Point offset = c->getPictureOffset();
    return lang::Point(x - offset.x, y - offset.y);
}

// The mouse in the picture's coordinates: SDL reports it in the window's, and the picture is scaled and
// centred in the window.
lang::Point picturePoint(Frame* frame, int32_t x, int32_t y) {
    if (frame == nullptr || frame->getDisplay() == nullptr) return lang::Point(x, y);
    return frame->getDisplay()->toPicture(x, y);
}

// Every frame's components that are showing, parents before children.
void collectShowing(Component* c, std::vector<lang::Ref<Component>>& out) {
    if (!c->isVisible()) return;
    out.push_back(lang::retain(c));
    for (Component* child : c->getChildren())
        collectShowing(child, out);
}

} // namespace

void WindowEvents::setFocus(Component* component) {
    g_focus = component;
}

Component* WindowEvents::focus() {
    return g_focus;
}

void WindowEvents::forget(Component* component) {
    if (g_focus == component) g_focus = nullptr;
    if (g_hover == component) g_hover = nullptr;
    if (g_capture == component) {
        g_capture = nullptr;
        g_buttonsDown = 0;
        if (Application::isInitialized()) SDL_CaptureMouse(SDL_FALSE);
    }
}

lang::Point WindowEvents::lastMousePosition() {
    return lang::Point(g_mouseX.load(), g_mouseY.load());
}

Component* WindowEvents::componentAt(Component* root, int32_t x, int32_t y) {
    Component* c = root;
    lang::Point local(x, y);
    for (bool descended = true; descended;) {
        descended = false;
        const auto& children = c->getChildren();
        // Later children lie above earlier ones.
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            Component* child = *it;
            if (child->hasWindow() && child->isVisible() && child->contains(local.x, local.y)) {
                local = lang::Point(local.x - child->getBounds().x, local.y - child->getBounds().y);
                c = child;
                descended = true;
                break;
            }
        }
    }
    return c;
}

void WindowEvents::refreshCursor() {
    if (!Application::isInitialized()) return;
    Cursor* cursor = nullptr;
    for (Component* c = g_hover; c != nullptr && cursor == nullptr; c = c->getParent())
        cursor = c->getCursor();
    (cursor != nullptr ? cursor : Cursor::getArrow())->apply();
}

void WindowEvents::dispatch(const SDL_Event& event) {
    const uint32_t user = Application::userEventType();
    if (user != 0 && event.type == user) {
        if (event.user.code == Application::kWakeCode)
            Application::runPosted();
        else if (event.user.code == Application::kTimerCode)
            Application::fireTimer(reinterpret_cast<uintptr_t>(event.user.data1));
        return;
    }
    switch (event.type) {
    case SDL_QUIT: {
        // Also raised for SIGINT and SIGTERM: every frame leaves through its close handling.
        std::vector<lang::Ref<Component>> frames;
        for (Frame* f : Frame::frames())
            frames.push_back(lang::retain<Component>(f));
        for (auto& f : frames)
            if (f->hasWindow()) static_cast<Frame*>(f.get())->onClose();
        break;
    }
    case SDL_WINDOWEVENT:
        windowEvent(event.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        keyEvent(event.key);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        // What SDL makes up from a finger comes here as the finger's own events already.
        if (event.button.which != SDL_TOUCH_MOUSEID) buttonEvent(event.button);
        break;
    case SDL_MOUSEMOTION:
        if (event.motion.which != SDL_TOUCH_MOUSEID) motionEvent(event.motion);
        break;
    case SDL_FINGERDOWN:
    case SDL_FINGERMOTION:
    case SDL_FINGERUP:
        fingerEvent(event.tfinger);
        break;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
        for (Frame* f : Frame::frames()) {
            f->getDisplay()->resetTexture();
            f->getDisplay()->addAll();
        }
        break;
    default:
        Gamepads::dispatch(event);
        break;
    }
}

void WindowEvents::windowEvent(const SDL_WindowEvent& event) {
    Frame* frame = Frame::fromWindowId(event.windowID);
    if (frame == nullptr) return;
    lang::Ref<Component> keep = lang::retain<Component>(frame);
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        frame->onClose();
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        frame->activate(true);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        cancelCapture();
        frame->activate(false);
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        // The maximise button of a fixed-size frame means full screen.
        if (!frame->isResizable()) {
            SDL_RestoreWindow(frame->getDisplay()->window());
            frame->setFullScreen(true, false);
        } else {
            frame->windowMaximized(true);
            frame->onPositionChanged();
        }
        break;
    case SDL_WINDOWEVENT_MOVED:
        frame->windowMoved(event.data1, event.data2);
        frame->onPositionChanged();
        break;
    case SDL_WINDOWEVENT_RESTORED:
        if ((SDL_GetWindowFlags(frame->getDisplay()->window()) & SDL_WINDOW_MAXIMIZED) == 0)
            frame->windowMaximized(false);
        frame->onPositionChanged();
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_HIDDEN:
        frame->onPositionChanged();
        break;
    case SDL_WINDOWEVENT_EXPOSED: {
        std::vector<lang::Ref<Component>> showing;
        collectShowing(frame, showing);
        for (auto& c : showing)
            c->repaint();
        if (frame->getDisplay() != nullptr) frame->getDisplay()->addAll();
        break;
    }
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        frame->windowResized(event.data1, event.data2);
        if (frame->getDisplay() != nullptr) frame->getDisplay()->addAll();
        break;
    default:
        break;
    }
}

void WindowEvents::keyEvent(const SDL_KeyboardEvent& event) {
    Frame* frame = Frame::fromWindowId(event.windowID);
    if (frame == nullptr && Frame::frames().size() == 1) frame = Frame::frames()[0];
    if (frame == nullptr) return;
    Component* target = frame;
    if (g_focus != nullptr && g_focus->hasWindow() && g_focus->getFrame() == frame) target = g_focus;
    const bool down = event.type == SDL_KEYDOWN;
    const KeyTranslation t = down ? InputTranslation::keyDown(event.keysym.sym, event.keysym.mod)
                                  : InputTranslation::keyUp(event.keysym.sym, event.keysym.mod);
    if (!t.valid()) return;
    lang::Ref<Event> e = lang::make<Event>(down ? Event::kKeyDown : Event::kKeyUp, target, t.virtualKey,
                                           static_cast<int32_t>(event.keysym.scancode), t.modifiers,
                                           Application::getTickCount());
    e->key = t.key;
    if (!down) {
        target->keyUp(e.get(), t.key);
        return;
    }
    // Unconsumed presses go up through the parents to the frame.
    for (lang::Ref<Component> c = lang::retain(target); c; c = lang::retain(c->getParent()))
        if (c->keyDown(e.get(), t.key)) break;
}

void WindowEvents::buttonEvent(const SDL_MouseButtonEvent& event) {
    if (event.button != SDL_BUTTON_LEFT && event.button != SDL_BUTTON_RIGHT) return;
    Frame* frame = Frame::fromWindowId(event.windowID);
    const lang::Point at = picturePoint(frame, event.x, event.y);
    Component* target = g_capture;
    if (target == nullptr && frame != nullptr) target = componentAt(frame, at.x, at.y);
    if (target == nullptr) return;
    notePointer(at.x, at.y);
    lang::Ref<Component> keep = lang::retain(target);
    const lang::Point p = localPoint(target, at.x, at.y);
    const int32_t modifiers = InputTranslation::buttonModifiers(event.button, SDL_GetModState());
    const uint32_t when = Application::getTickCount();
    const uint32_t mask = SDL_BUTTON(event.button);
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        lang::Ref<Event> e = lang::make<Event>(Event::kMouseDown, target, p.x, p.y, modifiers, when);
        e->clickCount = target->clickCounter().press(when, p.x, p.y);
        e->key = 0;
        // The press captures the mouse, so its release arrives even outside the window.
        g_capture = target;
        g_buttonsDown |= mask;
        target->setCapturing(true);
        SDL_CaptureMouse(SDL_TRUE);
        target->mouseDown(e.get(), p.x, p.y);
    } else {
        lang::Ref<Event> e = lang::make<Event>(Event::kMouseUp, target, p.x, p.y, modifiers, when);
        g_buttonsDown &= ~mask;
        target->setCapturing(false);
        if (g_buttonsDown == 0 && g_capture != nullptr) {
            g_capture = nullptr;
            SDL_CaptureMouse(SDL_FALSE);
        }
        target->mouseUp(e.get(), p.x, p.y);
    }
}

void WindowEvents::fingerEvent(const SDL_TouchFingerEvent& event) {
    // The first finger down is the pointer until it lifts; others are ignored.
    if (event.type == SDL_FINGERDOWN) {
        if (g_finger >= 0) return;
        g_finger = event.fingerId;
    } else if (event.fingerId != g_finger) {
        return;
    }
    if (event.type == SDL_FINGERUP) g_finger = -1;
    Frame* frame = Frame::fromWindowId(event.windowID);
    if (frame == nullptr && Frame::frames().size() == 1) frame = Frame::frames()[0];
    if (frame == nullptr || frame->getDisplay() == nullptr) return;
    // No pointer shows while a finger is the input.
    if (g_cursorShown) {
        SDL_ShowCursor(SDL_DISABLE);
        g_cursorShown = false;
    }
    int w = 0, h = 0;
    SDL_GetWindowSize(frame->getDisplay()->window(), &w, &h);
    const lang::Point at =
        picturePoint(frame, static_cast<int32_t>(event.x * w), static_cast<int32_t>(event.y * h));
    notePointer(at.x, at.y);
    Component* target = g_capture != nullptr ? g_capture : componentAt(frame, at.x, at.y);
    if (target == nullptr) return;
    lang::Ref<Component> keep = lang::retain(target);
    const lang::Point p = localPoint(target, at.x, at.y);
    const uint32_t when = Application::getTickCount();
    if (event.type == SDL_FINGERDOWN) {
        lang::Ref<Event> e = lang::make<Event>(Event::kMouseDown, target, p.x, p.y, Event::kTouchMask, when);
        e->clickCount = target->clickCounter().press(when, p.x, p.y);
        g_capture = target;
        target->setCapturing(true);
        target->mouseDown(e.get(), p.x, p.y);
    } else if (event.type == SDL_FINGERMOTION) {
        lang::Ref<Event> e = lang::make<Event>(Event::kMouseDrag, target, p.x, p.y, Event::kTouchMask, when);
        target->mouseDrag(e.get(), p.x, p.y);
    } else {
        lang::Ref<Event> e = lang::make<Event>(Event::kMouseUp, target, p.x, p.y, Event::kTouchMask, when);
        target->setCapturing(false);
        if (g_buttonsDown == 0) g_capture = nullptr;
        target->mouseUp(e.get(), p.x, p.y);
    }
}

void WindowEvents::motionEvent(const SDL_MouseMotionEvent& event) {
    if (!g_cursorShown) {
        SDL_ShowCursor(SDL_ENABLE);
        g_cursorShown = true;
    }
    Frame* frame = Frame::fromWindowId(event.windowID);
    const lang::Point at = picturePoint(frame, event.x, event.y);
    notePointer(at.x, at.y);
    Component* under = frame != nullptr ? componentAt(frame, at.x, at.y) : nullptr;
    if (under != g_hover) {
        g_hover = under;
        refreshCursor();
    }
    Component* target = g_capture != nullptr ? g_capture : under;
    if (target == nullptr) return;
    lang::Ref<Component> keep = lang::retain(target);
    int32_t id = 0;
    int32_t modifiers = 0;
    InputTranslation::motion(event.state, id, modifiers);
    const lang::Point p = localPoint(target, at.x, at.y);
    lang::Ref<Event> e = lang::make<Event>(id, target, p.x, p.y, modifiers, Application::getTickCount());
    if (id == Event::kMouseDrag)
        target->mouseDrag(e.get(), p.x, p.y);
    else
        target->mouseMove(e.get(), p.x, p.y);
}

void WindowEvents::cancelCapture() {
    Component* target = g_capture;
    if (target == nullptr) return;
    lang::Ref<Component> keep = lang::retain(target);
    g_capture = nullptr;
    g_buttonsDown = 0;
    SDL_CaptureMouse(SDL_FALSE);
    if (!target->isCapturing()) return;
    target->setCapturing(false);
    const lang::Point p = localPoint(target, g_mouseX.load(), g_mouseY.load());
    lang::Ref<Event> e = lang::make<Event>(Event::kMouseUp, target, p.x, p.y, 0, Application::getTickCount());
    target->mouseUp(e.get(), p.x, p.y);
}

} // namespace mph
