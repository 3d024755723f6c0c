// WindowEvents: turns SDL events into calls on the frames and components they concern (main thread only).
#pragma once

#include "runtime/Point.h"

#include <SDL.h>

namespace mph {

class Component;

class WindowEvents {
public:
    // Handles one SDL event: the program's own wake-up and timer events, close requests and SDL_QUIT,
    // window state changes, keys and the mouse.
    static void dispatch(const SDL_Event& event);

    // The component that receives the keyboard (null: the frame of the window).
    static void setFocus(Component* component);
    static Component* focus();
    // A component's window went away: it no longer has the focus, the capture or the pointer.
    static void forget(Component* component);
    // Shows the cursor of the component under the pointer (or of its nearest parent that has one).
    static void refreshCursor();
    // Any thread: where the pointer was last seen, in picture coordinates of its frame.
    static lang::Point lastMousePosition();
    // The deepest shown component under (x, y) of root's picture, root itself when no child is there.
    static Component* componentAt(Component* root, int32_t x, int32_t y);

private:
    static void windowEvent(const SDL_WindowEvent& event);
    static void keyEvent(const SDL_KeyboardEvent& event);
    static void buttonEvent(const SDL_MouseButtonEvent& event);
    static void motionEvent(const SDL_MouseMotionEvent& event);
    // One finger on a touchscreen acts as the mouse's left button, its events marked as a finger's.
    static void fingerEvent(const SDL_TouchFingerEvent& event);
    // Ends a capture that was taken away (the window lost the focus): the capturing component gets its
    // mouse-up at the last known pointer position.
    static void cancelCapture();
};

} // namespace mph
