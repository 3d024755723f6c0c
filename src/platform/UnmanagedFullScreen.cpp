// UnmanagedFullScreen: finding the window manager and placing the window through Xlib.
#include "platform/UnmanagedFullScreen.h"

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(MPH_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#define MPH_X11_WINDOWS 1
#endif

namespace mph {

#ifdef MPH_X11_WINDOWS

namespace {

bool x11Window(SDL_Window* window, Display*& display, ::Window& handle) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11)
        return false;
    display = info.info.x11.display;
    handle = info.info.x11.window;
    return display != nullptr && handle != 0;
}

// The window a window manager names on the root window (and on that window itself) as its own, or 0.
::Window supportingWindow(Display* display, ::Window of, Atom check) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    ::Window found = 0;
    if (XGetWindowProperty(display, of, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                           &data) == Success &&
        type == XA_WINDOW && format == 32 && count == 1 && data != nullptr)
        found = *reinterpret_cast<::Window*>(data);
    if (data != nullptr) XFree(data);
    return found;
}

} // namespace

bool UnmanagedFullScreen::applies(SDL_Window* window) {
    Display* display = nullptr;
    ::Window handle = 0;
    if (!x11Window(window, display, handle)) return false;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const ::Window manager = supportingWindow(display, DefaultRootWindow(display), check);
    // A manager that went away leaves the root's property pointing at a window that no longer names
    // itself.
    if (manager == 0) return true;
    int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const ::Window self = supportingWindow(display, manager, check);
    XSync(display, False);
    XSetErrorHandler(previous);
    return self != manager;
}

bool UnmanagedFullScreen::cover(SDL_Window* window) {
    Display* display = nullptr;
    ::Window handle = 0;
    if (!x11Window(window, display, handle)) return false;
    SDL_Rect bounds;
    const int index = SDL_GetWindowDisplayIndex(window);
    if (SDL_GetDisplayBounds(index < 0 ? 0 : index, &bounds) != 0 || bounds.w <= 0 || bounds.h <= 0)
        return false;
    XMoveResizeWindow(display, handle, bounds.x, bounds.y, static_cast<unsigned>(bounds.w),
                      static_cast<unsigned>(bounds.h));
    XRaiseWindow(display, handle);
    XSync(display, False);
    ::Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (XGetGeometry(display, handle, &root, &x, &y, &width, &height, &border, &depth) == 0) return false;
    return static_cast<int>(width) == bounds.w && static_cast<int>(height) == bounds.h;
}

#else

bool UnmanagedFullScreen::applies(SDL_Window*) {
    return false;
}

bool UnmanagedFullScreen::cover(SDL_Window*) {
    return false;
}

#endif

} // namespace mph
