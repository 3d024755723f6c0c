// RectSprite: painting a colour blended by its alpha over a picture surface's pixels.
#include "game/RectSprite.h"

#include "gfx/GraphicsI.h"
#include "gfx/Region.h"
#include "runtime/Class.h"

#include <algorithm>

using namespace lang;

namespace mph {

namespace {
ClassRecord<RectSprite> rectRecord("RectSprite");

// One row of the blend; the colour's share of each channel is worked out once per fill.
void blendRow(uint32_t* d, int32_t n, uint32_t keep, uint32_t r, uint32_t g, uint32_t b) {
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t p = d[i];
        d[i] = 0xFF000000u | ((((p >> 16) & 0xFF) * keep + r) >> 8) << 16 |
               ((((p >> 8) & 0xFF) * keep + g) >> 8) << 8 | (((p & 0xFF) * keep + b) >> 8);
    }
}
} // namespace

const Class& RectSprite::classRecord() {
    return rectRecord;
}

RectSprite::RectSprite(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour)
    : m_colour(colour) {
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
}

bool RectSprite::initFromDefinition(const ObjectArray&, const IntArray& params) {
    if (params.length < 4) return false;
    setLocation(params[0], params[1]);
    invalidate();
    m_width = params[2];
    m_height = params[3];
    if (params.length >= 5) m_colour = static_cast<uint32_t>(params[4]);
    invalidate();
    return true;
}

void RectSprite::setColour(uint32_t colour) {
    if (colour == m_colour) return;
    m_colour = colour;
    invalidate();
}

void RectSprite::paint(Graphics* surface) {
    if (!m_paintVisible || surface == nullptr) return;
    fillBlended(surface, getBounds(), m_colour);
}

Sprite* RectSprite::clone() const {
    auto* copy = new RectSprite();
    copyInto(*copy);
    copy->m_colour = m_colour;
    return copy;
}

void RectSprite::fillBlended(Graphics* surface, const Rectangle& area, uint32_t colour) {
    if (surface == nullptr || area.isEmpty() || !surface->instanceOf("GraphicsI")) return;
    Image* target = static_cast<GraphicsI*>(surface)->getImage();
    if (target == nullptr || !target->hasPixels()) return;
    int32_t tx = 0;
    int32_t ty = 0;
    surface->getTranslation(tx, ty);
    const Rectangle placed(area.x + tx, area.y + ty, area.width, area.height);
    const uint32_t a = colour >> 24;
    const uint32_t keep = 255 - a;
    const uint32_t r = ((colour >> 16) & 0xFF) * a;
    const uint32_t g = ((colour >> 8) & 0xFF) * a;
    const uint32_t b = (colour & 0xFF) * a;
    const int32_t stride = target->getStride() / 4;
    // The clip comes back in target pixels, already cut to the picture.
    Ref<Region> clip = adopt(surface->getClip());
    for (int32_t i = 0; i < clip->getRectCount(); ++i) {
        Rectangle part = clip->getRect(i);
        part.intersectWith(placed);
        if (part.isEmpty()) continue;
        for (int32_t y = part.y; y < part.y + part.height; ++y) {
            uint32_t* row = target->getPixels() + int64_t(y) * stride + part.x;
            if (a == 255) {
                std::fill(row, row + part.width, colour);
            } else {
                blendRow(row, part.width, keep, r, g, b);
            }
        }
    }
}

} // namespace mph
