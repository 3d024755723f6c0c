// Component: the drawing surface over a component's window and painting through it.
#include "platform/Component.h"

#include "gfx/GraphicsW.h"
#include "platform/WindowPicture.h"

namespace mph {

GraphicsW* Component::getGraphics() {
    return m_surface ? new GraphicsW(m_surface.get()) : nullptr;
}

void Component::paintNow() {
    if (!hasWindow()) return;
    lang::Ref<GraphicsW> g = lang::adopt(getGraphics());
    if (!g) return;
    update(g.get());
    g->dispose();
}

void Component::update(Graphics* g) {
    if (g != nullptr) {
        g->setColor(m_background);
        g->fillRect(0, 0, m_size.width, m_size.height);
    }
    paint(g);
}

} // namespace mph
