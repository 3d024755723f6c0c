// GameObserver: what the game tells whoever watches it (the headless driver, a recorder): state
// changes, sounds, level starts and score pop-ups, and every input it handles, as they happen.
#pragma once

#include <cstdint>
#include <string_view>

namespace mph {

// One input as the canvas handled it: after how many ticks, with which clock value, and what it was.
struct GameInput {
    // kPad: a gamepad button (id Event::kPadDown or kPadUp, the button in x); kStick: the stick's axes in x
    // and y; kTouch: a finger, as the mouse event it makes (id and position as for the mouse).
    enum Kind : int32_t { kMouse = 0, kKey = 1, kFocusLost = 2, kPad = 3, kStick = 4, kTouch = 5 };
    int32_t tick = 0;   // ticks run before the input was handled
    uint32_t clock = 0; // the millisecond clock every rule read while handling it
    int32_t kind = kMouse;
    int32_t id = 0; // mouse: the event id (1 press, 2 move, 3 release, 4 drag)
    int32_t x = 0;  // mouse: position; key: the virtual key
    int32_t y = 0;
    int32_t key = 0; // key: the typed character
};

// What a game's rules start from: everything a replay needs to play it again exactly.
struct GameStart {
    uint32_t randomSeed = 0;  // the game generator's seed
    uint64_t randomDraws = 0; // words drawn from it before this game
    int32_t tick = 0;         // ticks run when the game started
    char typedKeys[4] = {0, 0, 0, 0};
    int32_t mode = 0;  // the game chosen: 0 timed, 2 rising rows
    int32_t level = 1; // the level it starts at
    // The keyboard's rings showed as it began, so the first focus key acts rather than only showing them.
    bool focusShown = false;
    // The gamepad's stick and the pointer it moves (in 1/256 pixels), and whether the stick was the
    // control used last (a pad's A then presses at the pointer).
    int32_t stickX = 0, stickY = 0;
    int32_t pointerX = 0, pointerY = 0;
    bool pointerLast = false;
};

// Called with the canvas locked, on whichever thread made the change; an observer must not call back
// into the canvas.
class GameObserver {
public:
    virtual ~GameObserver() = default;
    virtual void onState(int32_t /*to*/) {}
    virtual void onSound(int32_t /*index*/) {}
    virtual void onLevel(int32_t /*level*/, int32_t /*mode*/) {}
    virtual void onPopup(int32_t /*points*/) {}
    // A game begins (the start buttons) and ends (game over, or ended from the menu).
    virtual void onGameStart(const GameStart& /*start*/) {}
    virtual void onGameEnd(int32_t /*score*/, int32_t /*level*/) {}
    // An input is about to be handled.
    virtual void onInput(const GameInput& /*input*/) {}
    // The input being handled waited for drawn frames and goes on after tick.
    virtual void onResume(int32_t /*tick*/) {}
    // The player answered the name prompt after a game (the name goes with the game's score).
    virtual void onNameEntered(std::string_view /*name*/) {}
    // The player took a shape from the tray at tick; it had come within reach there at arrived.
    virtual void onPickUp(int32_t /*arrived*/, int32_t /*tick*/) {}
    // The held shape went into a hole at tick.
    virtual void onPlace(int32_t /*tick*/) {}
};

} // namespace mph
