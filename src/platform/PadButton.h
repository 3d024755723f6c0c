// PadButton: the gamepad buttons the game knows, by number and by the name the driver gives them.
#pragma once

#include <cstdint>
#include <string_view>

namespace mph {

enum PadButton : int32_t {
    kPadA = 0,
    kPadB,
    kPadX,
    kPadY,
    kPadBack,
    kPadStart,
    kPadL,
    kPadR,
    kPadUp,
    kPadDown,
    kPadLeft,
    kPadRight,
    kPadButtonCount
};

inline constexpr const char* kPadButtonNames[kPadButtonCount] = {"a", "b", "x",  "y",    "back", "start",
                                                                 "l", "r", "up", "down", "left", "right"};

// The button a name stands for, -1 for none.
inline int32_t padButtonNamed(std::string_view name) {
    for (int32_t i = 0; i < kPadButtonCount; ++i)
        if (name == kPadButtonNames[i]) return i;
    return -1;
}

} // namespace mph
