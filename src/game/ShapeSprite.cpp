// ShapeSprite: the fall with its bounces, the reveal band, the drop shadow and the power-up marker.
#include "game/ShapeSprite.h"

#include "gfx/Image.h"
#include "runtime/CRandom.h"
#include "sprites/PaintSupport.h"

#include <algorithm>
#include <cmath>

using namespace lang;

namespace mph {

namespace {
ClassRecord<ShapeSprite> shapeRecord("ShapeSprite");

// The calling thread's 15-bit generator, seeded from the clock on its first use.
int32_t runtimeRand() {
    if (!CRandom::isSeeded()) CRandom::seed(tickCount());
    return CRandom::next();
}

// A float position as a pixel coordinate, truncated toward zero; far-off values are held in range.
int32_t pixelOf(float v) {
    return static_cast<int32_t>(std::clamp(v, -1.0e9f, 1.0e9f));
}
} // namespace

const Class& ShapeSprite::classRecord() {
    return shapeRecord;
}

void ShapeSprite::startFall(int32_t floorY) {
    m_posX = static_cast<float>(m_x);
    m_posY = static_cast<float>(m_y);
    m_floorY = floorY;
    m_falling = true;
    setShadowed(true);
    if (m_velY > 0) {
        if (m_velY > 5) m_velX = -m_velX;
        ++m_bounceCount;
        m_velY = m_velY * -0.65f;
    } else {
        // Two draws, in this order: the upward speed, then the sideways one.
        const int32_t up = runtimeRand();
        const int32_t side = runtimeRand();
        m_velY = -3.0f - static_cast<float>(up) * 3.0f / 16384.0f;
        m_velX = static_cast<float>(side) / 4096.0f - 4.0f;
    }
}

void ShapeSprite::fallStep() {
    m_posX += m_velX;
    m_posY += m_velY;
    m_velY += 0.8f;
    setLocation(pixelOf(m_posX), pixelOf(m_posY));
    if (m_y >= m_floorY) {
        // The landing speed stays in velY: the next startFall bounces with it.
        m_posY = static_cast<float>(m_floorY);
        setLocation(m_x, m_floorY);
        m_falling = false;
    }
}

void ShapeSprite::reset() {
    m_velY = 0;
    m_falling = false;
    setShadowed(false);
    m_bounceCount = 0;
    setRevealHalfHeight(-1);
}

bool ShapeSprite::step(int32_t tick, Rectangle& rect) {
    if (m_falling) fallStep();
    if (m_revealHalfHeight > 0) {
        m_revealHalfHeight += 2;
        if (2 * m_revealHalfHeight > m_height) m_revealHalfHeight = -1;
        invalidate();
    }
    // The marker animates on the canvas's clock; the shape repaints it every tick.
    if (m_carriesPowerUp && m_marker) invalidate();
    return AnimateSprite::step(tick, rect);
}

void ShapeSprite::setMarkerSprite(Sprite* marker) {
    invalidate();
    m_marker = retain(marker);
    invalidate();
}

void ShapeSprite::setCarriesPowerUp(bool on) {
    if (on == m_carriesPowerUp) return;
    invalidate();
    m_carriesPowerUp = on;
    invalidate();
}

void ShapeSprite::setRevealHalfHeight(int32_t halfHeight) {
    if (halfHeight == m_revealHalfHeight) return;
    m_revealHalfHeight = halfHeight;
    invalidate();
}

void ShapeSprite::setShadowed(bool on) {
    if (on == m_shadowed) return;
    invalidate();
    m_shadowed = on;
    invalidate();
}

void ShapeSprite::markerCorner(int32_t& mx, int32_t& my) const {
    mx = m_x + (m_width - m_marker->getWidth()) / 2;
    my = m_y + (m_height - m_marker->getHeight()) / 2;
}

Rectangle& ShapeSprite::getBounds() {
    if (m_width == -1 || m_height == -1) return Sprite::getBounds();
    const int32_t grow = m_shadowed ? kShadowOffset : 0;
    m_bounds.setBounds(m_x, m_y, m_width + grow, m_height + grow);
    if (m_carriesPowerUp && m_marker && m_marker->getWidth() > 0 && m_marker->getHeight() > 0) {
        int32_t mx = 0;
        int32_t my = 0;
        markerCorner(mx, my);
        m_bounds.unionWith(Rectangle(mx, my, m_marker->getWidth(), m_marker->getHeight()));
    }
    if (m_clip) m_bounds.intersectWith(*m_clip);
    return m_bounds;
}

void ShapeSprite::paint(Graphics* surface) {
    if (!m_paintVisible || surface == nullptr) return;
    if (m_shadowed && m_image) {
        SubSurface sub(surface);
        Graphics* g = sub.get();
        g->clipRect(m_x + kShadowOffset, m_y + kShadowOffset, m_width, m_height);
        if (m_clip) g->clipRect(m_clip->x, m_clip->y, m_clip->width, m_clip->height);
        // A fading shape's shadow fades with it.
        const bool blended = m_fancy && loadBlend(g, *m_fancy);
        g->drawShadow(m_image.get(), m_x + kShadowOffset - (m_frame % m_columns) * m_width,
                      m_y + kShadowOffset - (m_frame / m_columns) * m_height);
        if (blended) resetBlend(g);
    }
    if (m_revealHalfHeight < 1) {
        AnimateSprite::paint(surface);
    } else {
        SubSurface band(surface);
        band.get()->clipRect(m_x, m_y + m_height / 2 - m_revealHalfHeight, m_width, 2 * m_revealHalfHeight);
        AnimateSprite::paint(band.get());
    }
    if (m_carriesPowerUp && m_marker) {
        // The marker is shared, so it is drawn through a shifted surface instead of being moved.
        int32_t mx = 0;
        int32_t my = 0;
        markerCorner(mx, my);
        SubSurface moved(surface);
        Graphics* g = moved.get();
        if (m_clip) g->clipRect(m_clip->x, m_clip->y, m_clip->width, m_clip->height);
        g->translate(mx - m_marker->getX(), my - m_marker->getY());
        m_marker->paint(g);
    }
}

Sprite* ShapeSprite::clone() const {
    auto* copy = new ShapeSprite();
    copyAnimationInto(*copy);
    copy->m_marker = m_marker;
    copy->m_posX = m_posX;
    copy->m_posY = m_posY;
    copy->m_velX = m_velX;
    copy->m_velY = m_velY;
    copy->m_floorY = m_floorY;
    copy->m_bounceCount = m_bounceCount;
    copy->m_revealHalfHeight = m_revealHalfHeight;
    copy->m_falling = m_falling;
    copy->m_shadowed = m_shadowed;
    copy->m_carriesPowerUp = m_carriesPowerUp;
    return copy;
}

} // namespace mph
