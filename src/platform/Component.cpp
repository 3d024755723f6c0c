// Component: window creation and destruction, placement, visibility, painting, focus, cursors and timers.
#include "platform/Component.h"

#include "platform/Application.h"
#include "platform/Cursor.h"
#include "platform/Frame.h"
#include "platform/FrameDisplay.h"
#include "platform/WindowEvents.h"
#include "platform/WindowPicture.h"

#include <algorithm>

namespace mph {

Component::Component() = default;

Component::~Component() = default;

bool Component::create(Component* parent, const lang::Rectangle& bounds) {
    if (m_created) return true;
    // A child needs a parent with a window to live in.
    if (parent == nullptr || !parent->hasWindow()) return false;
    m_background = parent->m_background;
    attach(parent,
           lang::Rectangle(bounds.x, bounds.y, std::max(bounds.width, 0), std::max(bounds.height, 0)));
    return true;
}

void Component::attach(Component* parent, const lang::Rectangle& bounds) {
    m_parent = parent;
    if (parent != nullptr) parent->m_children.push_back(this);
    m_bounds = bounds;
    m_size = lang::Dimension(bounds.width, bounds.height);
    m_surface = lang::make<WindowPicture>(bounds.width, bounds.height);
    // The window's own reference, dropped by destroy.
    addRef();
    m_created = true;
    Frame* frame = getFrame();
    if (frame != nullptr) m_surface->setDisplay(frame->getDisplay());
    placePictures();
}

void Component::destroy() {
    if (!m_created) return;
    // Takes over the window's reference; this object may go away when the function returns.
    lang::Ref<Component> self = lang::adopt(this);
    std::vector<Component*> children = m_children;
    for (Component* child : children)
        child->destroy();
    Application::killTimers(this);
    WindowEvents::forget(this);
    const bool wasShowing = isShowing();
    const lang::Point offset = getPictureOffset();
    Frame* frame = getFrame();
    m_created = false;
    if (m_parent != nullptr) {
        auto& siblings = m_parent->m_children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    m_surface->place(offset.x, offset.y, false);
    m_surface->setDisplay(nullptr);
    // The parent's picture shows again where this child was.
    if (wasShowing && m_parent != nullptr && frame != nullptr && frame->getDisplay() != nullptr)
        frame->getDisplay()->addDirty(lang::Rectangle(offset.x, offset.y, m_size.width, m_size.height));
    m_parent = nullptr;
}

void Component::setSize(int32_t width, int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (!m_created) {
        m_size = lang::Dimension(width, height);
        m_bounds.width = width;
        m_bounds.height = height;
        return;
    }
    showArea();
    m_size = lang::Dimension(width, height);
    m_bounds.width = width;
    m_bounds.height = height;
    m_surface->resize(width, height);
    onResize();
    showArea();
    repaint();
}

void Component::setLocation(int32_t x, int32_t y) {
    if (m_created) showArea();
    m_bounds.x = x;
    m_bounds.y = y;
    if (!m_created) return;
    placePictures();
    showArea();
}

void Component::setVisible(bool on) {
    m_visible.store(on);
    if (!Application::isMainThread()) {
        lang::Ref<Component> self = lang::retain(this);
        Application::post(this, [self, on] { self->setVisible(on); });
        return;
    }
    if (!m_created) return;
    placePictures();
    showArea();
    if (on) repaint();
}

void Component::repaint() {
    if (!m_created || m_paintPending.exchange(true)) return;
    Application::post(this, [this] {
        m_paintPending.store(false);
        paintNow();
    });
}

void Component::requestFocus() {
    if (!Application::isMainThread()) {
        postMessage(kMessageTakeFocus);
        return;
    }
    WindowEvents::setFocus(this);
}

void Component::setCursor(Cursor* cursor) {
    lang::Ref<Cursor> held = lang::retain(cursor);
    if (!Application::isMainThread()) {
        lang::Ref<Component> self = lang::retain(this);
        Application::post(nullptr, [self, held] { self->setCursor(held.get()); });
        return;
    }
    m_cursor = held;
    WindowEvents::refreshCursor();
}

lang::Point Component::getMousePosition() const {
    const lang::Point p = WindowEvents::lastMousePosition();
    if (!m_surface) return p;
    return lang::Point(p.x - m_surface->offsetX(), p.y - m_surface->offsetY());
}

bool Component::isMouseInside() const {
    const lang::Point p = getMousePosition();
    return p.x >= 0 && p.y >= 0 && p.x < m_size.width && p.y < m_size.height;
}

bool Component::contains(int32_t x, int32_t y) const {
    return m_bounds.contains(x, y);
}

void Component::paint(Graphics*) {}
bool Component::mouseDown(Event*, int32_t, int32_t) {
    return false;
}
bool Component::mouseUp(Event*, int32_t, int32_t) {
    return false;
}
bool Component::mouseMove(Event*, int32_t, int32_t) {
    return false;
}
bool Component::mouseDrag(Event*, int32_t, int32_t) {
    return false;
}
bool Component::keyDown(Event*, int32_t) {
    return false;
}
bool Component::keyUp(Event*, int32_t) {
    return false;
}

bool Component::padInput(Event*) {
    return false;
}
void Component::onResize() {}
void Component::onPositionChanged() {}
void Component::onTimer(int32_t) {}

bool Component::handleMessage(int32_t message) {
    switch (message) {
    case kMessageTakeFocus:
        WindowEvents::setFocus(this);
        return true;
    case kMessageDestroy:
        destroy();
        return true;
    default:
        return false;
    }
}

void Component::postMessage(int32_t message) {
    Application::post(this, [this, message] { handleMessage(message); });
}

void Component::setTimer(int32_t id, uint32_t periodMs) {
    Application::setTimer(this, id, periodMs);
}

void Component::killTimer(int32_t id) {
    Application::killTimer(this, id);
}

Frame* Component::getFrame() {
    Component* root = this;
    while (root->m_parent != nullptr)
        root = root->m_parent;
    return root->instanceOf("Frame") ? static_cast<Frame*>(root) : nullptr;
}

lang::Point Component::getPictureOffset() const {
    lang::Point p;
    // The frame's own position is on the desktop, not in its picture.
    for (const Component* c = this; c->m_parent != nullptr; c = c->m_parent) {
        p.x += c->m_bounds.x;
        p.y += c->m_bounds.y;
    }
    return p;
}

bool Component::isShowing() const {
    for (const Component* c = this; c != nullptr; c = c->m_parent)
        if (!c->m_visible.load()) return false;
    return true;
}

void Component::placePictures() {
    if (!m_surface) return;
    const lang::Point p = getPictureOffset();
    m_surface->place(p.x, p.y, m_created && isShowing());
    for (Component* child : m_children)
        child->placePictures();
}

void Component::showArea() {
    Frame* frame = getFrame();
    if (frame == nullptr || frame->getDisplay() == nullptr) return;
    const lang::Point p = getPictureOffset();
    frame->getDisplay()->addDirty(lang::Rectangle(p.x, p.y, m_size.width, m_size.height));
}

} // namespace mph
