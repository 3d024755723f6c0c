// Stand-ins for framework functions this test program links against but whose libraries do not define yet.
#include "gfx/Image.h"

// FIXME: remove once the drawing surfaces define Image::getGraphics; the real definition takes precedence.
__attribute__((weak)) mph::GraphicsI* mph::Image::getGraphics() { return nullptr; }
