// Image::getGraphics: the drawing surface over an image.
#include "gfx/GraphicsI.h"
#include "gfx/Image.h"

namespace mph {

GraphicsI* Image::getGraphics() { return new GraphicsI(this); }

} // namespace mph
