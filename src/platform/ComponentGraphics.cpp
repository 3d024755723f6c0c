// Component: the drawing surface over a component's window and painting through it.
#include "platform/Component.h"

namespace mph {

// FIXME: returns a GraphicsW over getSurface() once the drawing surfaces exist.
GraphicsW* Component::getGraphics() { return nullptr; }

void Component::paintNow() {
    if (!hasWindow()) return;
    // FIXME: update(GraphicsW over getSurface()) once the drawing surfaces exist.
}

} // namespace mph
