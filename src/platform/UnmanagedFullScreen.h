// UnmanagedFullScreen: full screen on an X server that no window manager runs (a kiosk, a minimal session,
// a console startx). Nobody carries out a window's full screen request there: the window keeps its size
// while the renderer draws for the whole screen, cropped, with the pointer landing beside what it shows.
// Such a window is moved and sized over its display here instead.
#pragma once

struct SDL_Window;

namespace mph {

class UnmanagedFullScreen {
public:
    // Whether the window is shown by an X server without a window manager.
    static bool applies(SDL_Window* window);
    // Moves and sizes the window over the display it is on and raises it; true when the server then has
    // it at the display's size.
    static bool cover(SDL_Window* window);
};

} // namespace mph
