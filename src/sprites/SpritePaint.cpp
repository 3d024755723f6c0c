// Sprite: painting the picture through a surface, with clip, exclusion and blend parameters.
#include "sprites/PaintSupport.h"
#include "sprites/Sprite.h"

#include "gfx/Image.h"

namespace mph {

void Sprite::addToRegion(Region* region, const lang::Rectangle& rect) { addRectToRegion(region, rect); }

void Sprite::drawWithBlend(Graphics* surface, Image* image, int32_t px, int32_t py) {
    if (m_fancy && loadBlend(surface, *m_fancy)) {
        // The software blitter applies opacity and tint only to pictures marked as carrying alpha.
        image->setAlphaFlag(true);
        surface->drawImage(image, px, py);
        resetBlend(surface);
    } else {
        surface->drawImage(image, px, py);
    }
}

void Sprite::paint(Graphics* surface) {
    if (!m_image || !m_paintVisible || surface == nullptr) return;
    if (m_clip || m_exclusion) {
        SubSurface sub(surface);
        if (m_clip) sub.get()->clipRect(m_clip->x, m_clip->y, m_clip->width, m_clip->height);
        if (m_exclusion) {
            sub.get()->excludeClipRect(m_exclusion->x, m_exclusion->y, m_exclusion->width, m_exclusion->height);
        }
        drawWithBlend(sub.get(), m_image.get(), m_x, m_y);
    } else {
        drawWithBlend(surface, m_image.get(), m_x, m_y);
    }
}

} // namespace mph
