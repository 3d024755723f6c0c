// SlotSprite: the slot's size from its definition, the highlight pulse and the tinted paint.
#include "game/SlotSprite.h"

#include "game/RectSprite.h"

#include <cstdlib>

using namespace lang;

namespace mph {

namespace {
ClassRecord<SlotSprite> slotRecord("SlotSprite");
} // namespace

const Class& SlotSprite::classRecord() {
    return slotRecord;
}

bool SlotSprite::initFromDefinition(const ObjectArray& images, const IntArray& params) {
    if (params.length < 2) return false;
    Image* picture = definitionImage(images, 0);
    setImage(picture);
    setLocation(params[0], params[1]);
    if (picture == nullptr && params.length >= 4) {
        invalidate();
        m_width = params[2];
        m_height = params[3];
        invalidate();
    }
    return true;
}

uint32_t SlotSprite::pulseAlpha(int32_t tick) {
    // Widened and kept non-negative, so a clock that wraps still pulses within 64..160.
    int64_t phase = (int64_t(tick) * 6) % 192;
    if (phase < 0) phase += 192;
    return static_cast<uint32_t>(std::llabs(phase - 96) + 64);
}

void SlotSprite::setHighlighted(bool on) {
    if (on == m_highlighted) return;
    invalidate();
    m_highlighted = on;
    invalidate();
}

void SlotSprite::setTintColour(uint32_t argb) {
    m_tint = argb;
    if (m_highlighted) invalidate();
}

bool SlotSprite::step(int32_t tick, Rectangle& rect) {
    if (m_highlighted) {
        m_tint = (m_tint & 0x00FFFFFFu) | pulseAlpha(tick) << 24;
        invalidate();
    }
    return Sprite::step(tick, rect);
}

void SlotSprite::paint(Graphics* surface) {
    if (!m_paintVisible || surface == nullptr) return;
    // The bounds are the slot's rectangle already cut to the sprite's clip.
    if (m_highlighted) RectSprite::fillBlended(surface, getBounds(), m_tint);
    Sprite::paint(surface);
}

Sprite* SlotSprite::clone() const {
    auto* copy = new SlotSprite();
    copyInto(*copy);
    copy->m_frame = m_frame;
    copy->m_tint = m_tint;
    copy->m_highlighted = m_highlighted;
    return copy;
}

} // namespace mph
