// Gamepads: the game controllers SDL knows a mapping for, plugged in or out at any moment, and their
// buttons and left stick handed to the component that has the keyboard (main thread only).
#pragma once

#include <SDL.h>

#include <cstdint>

namespace mph {

class Component;

class Gamepads {
public:
    // Starts SDL's game-controller part (its mapping database, and SDL_GAMECONTROLLERCONFIG's mappings);
    // without it the game plays on without gamepads, and says so on standard error.
    static void start();
    // Closes every open controller.
    static void stop();
    // Handles a device, button or axis event; false for any other event.
    static bool dispatch(const SDL_Event& event);
    // How many controllers are open.
    static int32_t openCount();
    // A stick reading this close to the middle counts as the middle, so a resting stick sends nothing.
    static constexpr int32_t kRestingAxis = 2000;
    // The button of the game's set an SDL controller button is, -1 for one the game does not use.
    static int32_t buttonOf(int32_t sdlButton);
};

} // namespace mph
