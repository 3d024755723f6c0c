// StickPointer: how far a gamepad's stick moves the game's pointer in one tick.
#pragma once

#include <cstdint>

namespace mph {

// Positions are kept in 1/256 pixels, so a slight deflection still creeps along smoothly. The speed grows
// with the square of the deflection past the dead zone: fine aim near the middle, quick sweeps at the rim.
class StickPointer {
public:
    static constexpr int32_t kAxisMax = 32767;
    // A resting stick reads a few thousand either way; nothing inside this radius moves the pointer.
    static constexpr int32_t kDeadZone = 8000;
    static constexpr int32_t kSubpixels = 256;
    // Speeds in 1/256 pixels a tick: just past the dead zone (a pixel every other tick) and at full
    // deflection (350 pixels a second).
    static constexpr int32_t kMinSpeed = 128;
    static constexpr int32_t kMaxSpeed = 14 * 256;

    // The move of one tick along each axis for the stick's axes (-32768 to 32767).
    static void step(int32_t axisX, int32_t axisY, int32_t& dx, int32_t& dy);
};

} // namespace mph
