// SpriteBlend: the opacity, colour multipliers and drop shadow a sprite paints with.
#pragma once

#include <cstdint>

namespace mph {

// The parameters a sprite loads into the surface's blend helper while it draws. Scales are in 1/128 units,
// so 128 means unchanged; an opacity of 0 draws nothing.
struct SpriteBlend {
    int32_t opacity = 128;
    int32_t redScale = 128;
    int32_t greenScale = 128;
    int32_t blueScale = 128;
    bool shadowOn = false;
    int32_t shadowDX = 0;
    int32_t shadowDY = 0;
};

} // namespace mph
