// SquishSprite: the shrinking scales, the anchored placement and the scaled frame.
#include "game/SquishSprite.h"

#include "sprites/PaintSupport.h"

#include <cmath>

using namespace lang;

namespace mph {

namespace {
ClassRecord<SquishSprite> squishRecord("SquishSprite");
} // namespace

const Class& SquishSprite::classRecord() {
    return squishRecord;
}

SquishSprite::SquishSprite() {
    m_visible = false;
}

bool SquishSprite::initFromDefinition(const ObjectArray& images, const IntArray& params) {
    if (!AnimateSprite::initFromDefinition(images, params)) return false;
    // The frame number of a definition would show it; the squish stays out of sight until it starts.
    setVisible(false);
    if (params.length >= 9) {
        m_anchor = params[8];
    } else if (params.length == 6) {
        m_anchor = params[5];
    }
    return true;
}

void SquishSprite::start(const AnimateSprite& source, double stepX, double stepY, int32_t anchor) {
    setImageGrid(source.getImage(), source.getColumns(), source.getRows());
    setFrame(source.getFrame());
    setLocation(source.getX(), source.getY());
    m_scaleX = 1.0;
    m_scaleY = 1.0;
    m_stepX = stepX;
    m_stepY = stepY;
    m_anchor = anchor;
    invalidate();
    setVisible(true);
}

bool SquishSprite::shrink(double& scale, double& step) {
    scale -= step;
    if (scale > 0) return false;
    scale = 1.0;
    step = 0;
    return true;
}

bool SquishSprite::step(int32_t tick, Rectangle& rect) {
    // The shrunk frame always lies inside the cell, so the cell's area covers the old and the new look.
    if (m_stepX != 0) {
        invalidate();
        if (shrink(m_scaleX, m_stepX)) setVisible(false);
    }
    if (m_stepY != 0) {
        invalidate();
        if (shrink(m_scaleY, m_stepY)) setVisible(false);
    }
    return AnimateSprite::step(tick, rect);
}

void SquishSprite::scaledPlacement(int32_t& px, int32_t& py, int32_t& width, int32_t& height) const {
    width = static_cast<int32_t>(std::trunc(m_width * m_scaleX));
    height = static_cast<int32_t>(std::trunc(m_height * m_scaleY));
    if (m_anchor & kAnchorLeft) {
        px = m_x;
    } else if (m_anchor & kAnchorRight) {
        px = m_x + m_width - width;
    } else {
        px = m_x + (m_width - width) / 2;
    }
    if (m_anchor & kAnchorTop) {
        py = m_y;
    } else if (m_anchor & kAnchorBottom) {
        py = m_y + m_height - height;
    } else {
        py = m_y + (m_height - height) / 2;
    }
}

void SquishSprite::paint(Graphics* surface) {
    if (m_scaleX == 1.0 && m_scaleY == 1.0) {
        AnimateSprite::paint(surface);
        return;
    }
    if (!m_image || !m_paintVisible || surface == nullptr) return;
    int32_t px = 0;
    int32_t py = 0;
    int32_t width = 0;
    int32_t height = 0;
    scaledPlacement(px, py, width, height);
    if (width <= 0 || height <= 0) return;
    const bool reuse = m_scaled && m_scaledFrom == m_image && m_scaledFrame == m_frame &&
                       m_scaled->getWidth() == width && m_scaled->getHeight() == height;
    if (!reuse) {
        const Rectangle cell((m_frame % m_columns) * m_width, (m_frame / m_columns) * m_height, m_width,
                             m_height);
        BitmapScaler scaler(m_image.get());
        m_scaled = scaler.scale(width, height, &cell, BitmapScaler::kAreaAverage);
        m_scaledFrom = m_image;
        m_scaledFrame = m_frame;
        if (!m_scaled) return;
    }
    if (m_clip) {
        SubSurface sub(surface);
        sub.get()->clipRect(m_clip->x, m_clip->y, m_clip->width, m_clip->height);
        drawWithBlend(sub.get(), m_scaled.get(), px, py);
    } else {
        drawWithBlend(surface, m_scaled.get(), px, py);
    }
}

Sprite* SquishSprite::clone() const {
    auto* copy = new SquishSprite();
    copyAnimationInto(*copy);
    copy->m_scaleX = m_scaleX;
    copy->m_scaleY = m_scaleY;
    copy->m_stepX = m_stepX;
    copy->m_stepY = m_stepY;
    copy->m_anchor = m_anchor;
    return copy;
}

} // namespace mph
