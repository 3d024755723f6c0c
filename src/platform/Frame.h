// Frame: a top-level window showing a picture of a fixed size, its title and icon, its size and full
// screen, and the exit messages.
#pragma once

#include "platform/Component.h"
#include "platform/WindowScale.h"
#include "runtime/String.h"

namespace mph {

class FrameDisplay;
class Image;

class Frame : public Component {
    LANG_CLASS(Frame, Component)

public:
    Frame();
    ~Frame() override;

    // Creates the top-level window for a picture of |bounds.width| x |bounds.height|, centred in the
    // desktop's work area (at its origin when full screen); a negative width fits the picture into the
    // work area. A fixed-size window is as large as the picture; a resizable one starts at the largest
    // whole-number multiple of it that fits the work area (WindowScale::firstSize). The window starts
    // hidden.
    bool create(Component* parent, const lang::Rectangle& bounds) override;
    // Runs onDestroy, then destroys the children and the window.
    void destroy() override;
    void setVisible(bool on) override;
    void setSize(int32_t width, int32_t height) override;
    bool handleMessage(int32_t message) override;
    // Escape leaves full screen; F11 switches it on and off.
    bool keyDown(Event* event, int32_t key) override;
    // When restored after full screen was left for a deactivation, full screen is entered again.
    void onPositionChanged() override;

    // Desktop full screen with the picture scaled to fit and letterboxed. Leaving it (only when the
    // desktop depth is supported, or when forced) restores the centred window at its size. When SDL
    // refuses, the message "Unable to switch to Fullscreen mode." is shown and nothing changes.
    virtual void setFullScreen(bool on, bool force);
    // F11 asks for the other full-screen state; a frame that stores the choice does so here.
    virtual void toggleFullScreen() { setFullScreen(!m_fullScreen, false); }
    // Orderly exit: leaves full screen and has the window destroyed from the message loop.
    virtual void quit();
    // The window is being destroyed (its children still exist).
    virtual void onDestroy();
    // The user or another thread asked to close the window; the default quits.
    virtual void onClose();
    // The window was activated or deactivated. Deactivated while full screen, it leaves full screen,
    // minimises and remembers to come back; activated, it hands the keyboard back to the focus child.
    virtual void activate(bool active);
    // Moves the window on the desktop without resizing it.
    void setLocation(int32_t x, int32_t y) override;

    void setTitle(const lang::String& title);
    const lang::String& getTitle() const { return m_title; }
    // Uses the picture as the window's icon (SDL copies it).
    void setIcon(Image* icon);
    // The window manager moved the window to (x, y).
    void windowMoved(int32_t x, int32_t y);
    void minimize();
    bool isMinimized() const;
    // The window's size when it is neither full screen nor maximised, and whether it is maximised. A
    // resizable frame follows the user's resizing; setWindowSize resizes and centres it (main thread).
    int32_t getWindowWidth() const { return m_windowWidth; }
    int32_t getWindowHeight() const { return m_windowHeight; }
    bool isMaximized() const { return m_maximized; }
    void setWindowSize(int32_t width, int32_t height);
    void setMaximized(bool on);
    // The window manager resized the window (to its new size in window units) or changed whether it is
    // maximised.
    void windowResized(int32_t width, int32_t height);
    void windowMaximized(bool on);
    // What the window shows now: its size, the picture's scale in it, full screen or not.
    WindowView windowView() const;
    bool isFullScreen() const { return m_fullScreen; }
    bool isDepthSupported() const { return m_depthSupported; }
    void setResizable(bool on) { m_resizable = on; }
    bool isResizable() const { return m_resizable; }
    int32_t getClientWidth() const { return m_width; }
    int32_t getClientHeight() const { return m_height; }
    FrameDisplay* getDisplay() const { return m_display.get(); }

    // Main thread: the frame whose window has this SDL id, and every frame with a window.
    static Frame* fromWindowId(uint32_t windowId);
    static const std::vector<Frame*>& frames();

protected:
    // Where the window of the client size goes when it is not full screen: centred in the work area,
    // never above or left of it.
    lang::Point centredPosition() const;
    // Where no window manager carries out a full screen request, the window covers its display itself;
    // where even that fails it goes back to being a window (false), with a line on standard error.
    bool coverUnmanaged();

    int32_t m_width = 640;
    int32_t m_height = 480;
    int32_t m_windowWidth = 0;
    int32_t m_windowHeight = 0;
    bool m_maximized = false;
    bool m_fullScreen = false;
    bool m_depthSupported = true;
    bool m_resizable = false;
    bool m_restoreFullScreenPending = false;
    lang::String m_title;
    lang::Ref<FrameDisplay> m_display;
};

} // namespace mph
