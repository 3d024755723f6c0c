// Component: an on-screen object of the window layer, with its picture, children, input handlers and
// painting.
#pragma once

#include "platform/ClickCounter.h"
#include "runtime/Color.h"
#include "runtime/Dimension.h"
#include "runtime/Point.h"
#include "runtime/Rectangle.h"
#include "runtime/Ref.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace mph {

class Cursor;
class Event;
class Frame;
class Graphics;
class GraphicsW;
class WindowPicture;

class Component : public lang::Object {
    LANG_CLASS(Component, Object)

public:
    // Messages a component can be sent through postMessage.
    static constexpr int32_t kMessageClose = 0x0010;
    static constexpr int32_t kMessageTakeFocus = 0x0400 + 100;
    static constexpr int32_t kMessageDestroy = 0x0400 + 101;

    Component();
    ~Component() override;

    // Main thread. Creates the component's window: for a child, a hidden surface at bounds within parent
    // (it first takes the parent's background colour). The window holds a reference to the component
    // until it is destroyed. True when the window exists.
    virtual bool create(Component* parent, const lang::Rectangle& bounds);
    // Main thread: destroys the window (children first) and drops the window's reference.
    virtual void destroy();
    bool hasWindow() const { return m_created.load(); }

    virtual void setSize(int32_t width, int32_t height);
    virtual void setLocation(int32_t x, int32_t y);
    // Any thread; other threads have the main thread do it.
    virtual void setVisible(bool on);
    virtual bool isVisible() const { return m_visible.load(); }
    // Any thread: the window is repainted (update) from the main thread's loop, once however often asked.
    virtual void repaint();
    // Makes this component the one that receives the keyboard.
    virtual void requestFocus();
    // Any thread: the cursor shown while the pointer is over this component (null: the standard arrow).
    virtual void setCursor(Cursor* cursor);
    // Any thread: the last known pointer position in this component's coordinates.
    virtual lang::Point getMousePosition() const;
    virtual bool isMouseInside() const;
    // Whether (x, y), in the parent's coordinates, lies within the bounds.
    virtual bool contains(int32_t x, int32_t y) const;
    // A new drawing surface over this component's window; the caller releases it.
    virtual GraphicsW* getGraphics();

    // Painting, on the main thread. The default update fills the window with the background colour and
    // calls paint, which draws nothing.
    virtual void update(Graphics* g);
    virtual void paint(Graphics* g);
    // Input handlers, on the main thread; true means the input was consumed. Positions are in this
    // component's coordinates. Unconsumed key presses go on to the parent.
    virtual bool mouseDown(Event* event, int32_t x, int32_t y);
    virtual bool mouseUp(Event* event, int32_t x, int32_t y);
    virtual bool mouseMove(Event* event, int32_t x, int32_t y);
    virtual bool mouseDrag(Event* event, int32_t x, int32_t y);
    virtual bool keyDown(Event* event, int32_t key);
    virtual bool keyUp(Event* event, int32_t key);
    // A gamepad's button (Event::kPadDown, kPadUp) or stick (Event::kStick); sent to the component that
    // has the keyboard.
    virtual bool padInput(Event* event);
    // The gamepad used last was unplugged.
    virtual void padLost() {}
    // Called after the window's size changed.
    virtual void onResize();
    // Called when the window was moved, shown, minimised or restored.
    virtual void onPositionChanged();
    // A window timer of this component ticked.
    virtual void onTimer(int32_t id);
    // A message sent with postMessage arrived; returns whether it was known.
    virtual bool handleMessage(int32_t message);

    // Any thread: message is handled on the main thread, if the window still exists then.
    void postMessage(int32_t message);
    // Window timers: onTimer(id) every periodMs milliseconds until killed or the window goes away.
    void setTimer(int32_t id, uint32_t periodMs);
    void killTimer(int32_t id);

    Component* getParent() const { return m_parent; }
    const std::vector<Component*>& getChildren() const { return m_children; }
    // The top-level frame this component belongs to, or null.
    Frame* getFrame();
    WindowPicture* getSurface() const { return m_surface.get(); }
    // Where this component's origin lies in its frame's picture.
    lang::Point getPictureOffset() const;
    // Whether this component and all its parents are visible.
    bool isShowing() const;
    const lang::Dimension& getSize() const { return m_size; }
    const lang::Rectangle& getBounds() const { return m_bounds; }
    Cursor* getCursor() const { return m_cursor.get(); }
    const lang::Color& getBackground() const { return m_background; }
    const lang::Color& getForeground() const { return m_foreground; }
    virtual void setBackground(const lang::Color& color) { m_background = color; }
    virtual void setForeground(const lang::Color& color) { m_foreground = color; }

    // Used by the event dispatch: click counting and capture state.
    ClickCounter& clickCounter() { return m_clicks; }
    bool isCapturing() const { return m_capturing; }
    void setCapturing(bool on) { m_capturing = on; }
    // Main thread: paints the window now (update over a new window surface) and shows the result.
    void paintNow();
    // Main thread: recomputes where the pictures of this component and its children appear.
    void placePictures();

protected:
    // Main thread: the common part of creation once the component's size is known.
    void attach(Component* parent, const lang::Rectangle& bounds);
    // Main thread: marks this component's whole area for the display.
    void showArea();

    Component* m_parent = nullptr;
    std::vector<Component*> m_children;
    lang::Ref<Cursor> m_cursor;
    lang::Dimension m_size;
    lang::Rectangle m_bounds;
    lang::Color m_background{lang::Color::fromArgb(0xFF000000u)};
    lang::Color m_foreground{lang::Color::fromArgb(0xFFFFFFFFu)};
    ClickCounter m_clicks;
    bool m_capturing = false;
    std::atomic<bool> m_created{false};
    std::atomic<bool> m_visible{false};
    std::atomic<bool> m_paintPending{false};
    lang::Ref<WindowPicture> m_surface;
};

} // namespace mph
