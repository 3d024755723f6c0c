// FancyHelper: the blend parameters (opacity, colour scales, drop shadow) a surface and its sub-surfaces share.
#pragma once

#include "runtime/Object.h"

#include <cstdint>

namespace mph {

class FancyHelper : public lang::Object {
    LANG_CLASS(FancyHelper, Object)

public:
    FancyHelper() = default;

    // Copies the seven blend parameters (not the source fields).
    void copyFrom(const FancyHelper& other);
    // Back to 1.0 scales, full opacity and no shadow.
    void reset();

    // Factors in 1/128 units: 128 is 1.0.
    int32_t redScale = 128;
    int32_t greenScale = 128;
    int32_t blueScale = 128;
    int32_t opacity = 128;
    bool shadowOn = false;
    int32_t shadowDX = 0;
    int32_t shadowDY = 0;

    // The picture being drawn, filled in by the surface at each image draw.
    const uint32_t* srcPixels = nullptr;
    int32_t srcWidth = 0;
    int32_t srcHeight = 0;
    int32_t srcStride = 0; // in pixels
};

} // namespace mph
