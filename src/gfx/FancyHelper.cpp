// FancyHelper: copying and resetting the blend parameters.
#include "gfx/FancyHelper.h"

namespace mph {

void FancyHelper::copyFrom(const FancyHelper& o) {
    redScale = o.redScale;
    greenScale = o.greenScale;
    blueScale = o.blueScale;
    opacity = o.opacity;
    shadowOn = o.shadowOn;
    shadowDX = o.shadowDX;
    shadowDY = o.shadowDY;
}

void FancyHelper::reset() {
    redScale = greenScale = blueScale = opacity = 128;
    shadowOn = false;
    shadowDX = shadowDY = 0;
}

} // namespace mph
