// Event: one mouse or keyboard input, as the window layer hands it to a component's handlers.
#pragma once

#include "runtime/Object.h"
#include "runtime/Ref.h"

#include <cstdint>

namespace mph {

class Component;

class Event : public lang::Object {
    LANG_CLASS(Event, Object)

public:
    // Event ids.
    static constexpr int32_t kMouseDown = 1;
    static constexpr int32_t kMouseMove = 2;
    static constexpr int32_t kMouseUp = 3;
    static constexpr int32_t kMouseDrag = 4;
    static constexpr int32_t kKeyDown = 5;
    static constexpr int32_t kKeyUp = 6;
    // A gamepad's button pressed or released (the button's number, PadButton, in x), and its left stick's
    // axes from now on (-32768 to 32767 in x and y).
    static constexpr int32_t kPadDown = 7;
    static constexpr int32_t kPadUp = 8;
    static constexpr int32_t kStick = 9;

    // Modifier bits: Ctrl (also set for the right mouse button) and Shift.
    static constexpr int32_t kCtrlMask = 1;
    static constexpr int32_t kShiftMask = 2;
    // A mouse event that a finger on a touchscreen made.
    static constexpr int32_t kTouchMask = 4;

    // Translated keys of the arrows and F1 to F3: 1000 plus their virtual-key code.
    static constexpr int32_t kLeft = 1037;
    static constexpr int32_t kUp = 1038;
    static constexpr int32_t kRight = 1039;
    static constexpr int32_t kDown = 1040;
    static constexpr int32_t kF1 = 1112;
    static constexpr int32_t kF2 = 1113;
    static constexpr int32_t kF3 = 1114;

    Event() = default;
    // An event aimed at component, which becomes both its target and its source.
    Event(int32_t id, Component* component, int32_t x, int32_t y, int32_t modifiers, uint32_t when);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    ~Event() override;

    int32_t id = 0;
    // The position in the component's coordinates; for key events the virtual-key code.
    int32_t x = 0;
    // The position in the component's coordinates; for key events the key's scan code.
    int32_t y = 0;
    int32_t modifiers = 0;
    // The translated key of key events.
    int32_t key = 0;
    int32_t clickCount = 0;
    // Milliseconds of the program's tick count when the input happened.
    uint32_t when = 0;
    lang::Ref<Component> target;
    lang::Ref<Component> source;
};

} // namespace mph
