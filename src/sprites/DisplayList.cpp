// DisplayList: ticks, dirty areas and composing.
#include "sprites/DisplayList.h"

#include "gfx/Graphics.h"
#include "runtime/Color.h"
#include "runtime/Ref.h"
#include "runtime/SyncGuard.h"
#include "sprites/Sprite.h"

using namespace lang;

namespace mph {

DisplayList::DisplayList(int32_t width, int32_t height) : m_width(width), m_height(height) {}

void DisplayList::mergeDirty(const Rectangle& area) {
    if (m_dirtyRect.width == 0) {
        m_dirtyRect = area;
    } else {
        m_dirtyRect.unionWith(area);
    }
}

void DisplayList::tick() {
    {
        SyncGuard guard(&m_sprites);
        for (int32_t i = 0; i < m_sprites.size(); ++i) {
            auto* sprite = static_cast<Sprite*>(m_sprites.elementAt(i));
            Rectangle scratch(0, 0, 0, 0);
            if (sprite->update(m_frameCounter, scratch, m_tracking ? &m_dirtyRegion : nullptr)) {
                m_dirtyFlag = true;
                mergeDirty(scratch);
            }
        }
    }
    ++m_frameCounter;
}

void DisplayList::invalidate(const Rectangle& area) {
    if (area.width == 0) return;
    m_dirtyFlag = true;
    mergeDirty(area);
    if (m_tracking) m_dirtyRegion.addRect(area);
}

void DisplayList::setTracking(bool on) {
    if (on == m_tracking) return;
    m_tracking = on;
    if (on)
        invalidateAll();
    else
        m_dirtyRegion.clear();
}

void DisplayList::invalidateAll() {
    m_dirtyFlag = true;
    m_dirtyRect.setBounds(0, 0, m_width, m_height);
    m_dirtyRegion.clear();
    m_dirtyRegion.addRect(m_dirtyRect);
}

void DisplayList::compose(Graphics* target, uint32_t background) {
    m_dirtyFlag = false;
    Ref<Graphics> surface = adopt(target->create());
    surface->setColor(Color::fromArgb(background));
    if (m_dirtyRect.width != 0) {
        surface->clipRect(m_dirtyRect.x, m_dirtyRect.y, m_dirtyRect.width, m_dirtyRect.height);
        surface->setClip(&m_dirtyRegion);
    }
    {
        SyncGuard guard(&m_sprites);
        for (int32_t i = 0; i < m_sprites.size(); ++i) {
            auto* sprite = static_cast<Sprite*>(m_sprites.elementAt(i));
            if (m_dirtyRegion.intersects(sprite->getBounds())) sprite->paint(surface.get());
        }
    }
    m_dirtyRect.setBounds(0, 0, 0, 0);
    m_dirtyRegion.clear();
    surface->dispose();
}

} // namespace mph
