// WindowSurface: the picture a window shows, as drawing surfaces over the window see it.
#pragma once

#include "runtime/Rectangle.h"

namespace mph {

class Image;

// The window layer keeps one picture per window (the whole client area, top-down ARGB) and shows it on the
// main thread. Drawing surfaces over a window draw into that picture while holding the surface's object
// lock (lock()/unlock() of this object), then report each changed area with pictureChanged so the window
// layer can present it. Any thread may draw; only the window layer talks to the display.
class WindowSurface : public lang::Object {
    LANG_CLASS(WindowSurface, Object)

public:
    // The client-area picture; valid while the surface lives. Draw into it only under this object's lock.
    virtual Image* picture() = 0;
    // Reports an area of the picture that changed and should reach the screen.
    virtual void pictureChanged(const lang::Rectangle& area) = 0;
};

} // namespace mph
