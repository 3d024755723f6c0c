// TiledSprite: definition forms, tile positions and painting.
#include "sprites/TiledSprite.h"

#include "gfx/Image.h"
#include "sprites/PaintSupport.h"
#include "sprites/SpriteClasses.h"

using namespace lang;

namespace mph {

namespace {
ClassRecord<TiledSprite> tiledRecord("TiledSprite");
} // namespace

const Class& SpriteClasses::tiledSprite() { return tiledRecord; }

bool TiledSprite::initFromDefinition(const ObjectArray& images, const IntArray& params) {
    if (Image* image = definitionImage(images, 0)) {
        if (params.length < 4) return false;
        setImage(image);
        setLocation(params[0], params[1]);
        m_width = params[2];
        m_height = params[3];
        if (params.length >= 6) {
            m_tileX0 = params[4];
            m_tileY0 = params[5];
        }
        if (params.length >= 8) {
            m_gapX = params[6];
            m_gapY = params[7];
        }
        return true;
    }
    if (params.length < 7) return false;
    m_fillColor = Color(params[0], params[1], params[2]);
    setLocation(params[3], params[4]);
    m_width = params[5];
    m_height = params[6];
    if (params.length >= 9) {
        m_tileX0 = params[7];
        m_tileY0 = params[8];
    }
    if (params.length >= 11) {
        m_gapX = params[9];
        m_gapY = params[10];
    }
    return true;
}

void TiledSprite::setImage(Image* image) {
    invalidate();
    m_image = retain(image);
}

void TiledSprite::setFillColor(const Color& color) {
    invalidate();
    m_fillColor = color;
}

void TiledSprite::setSpacing(int32_t gapX, int32_t gapY) {
    invalidate();
    m_gapX = gapX;
    m_gapY = gapY;
}

void TiledSprite::setTileOffset(int32_t x0, int32_t y0) {
    invalidate();
    m_tileX0 = x0;
    m_tileY0 = y0;
}

void TiledSprite::setArea(int32_t width, int32_t height) {
    invalidate();
    m_width = width;
    m_height = height;
    invalidate();
}

std::vector<int32_t> TiledSprite::tilePositions(int32_t first, int32_t tileSize, int32_t gap, int32_t area) {
    std::vector<int32_t> positions;
    // A stride of zero or less would never leave the area; such a tile is drawn once.
    const int32_t stride = tileSize + gap;
    for (int64_t a = first; a < area; a += stride) {
        positions.push_back(static_cast<int32_t>(a));
        if (stride <= 0) break;
    }
    return positions;
}

void TiledSprite::paint(Graphics* surface) {
    if (!m_paintVisible || surface == nullptr) return;
    if (!m_image) {
        surface->setColor(m_fillColor);
        surface->fillRect(m_x, m_y, m_width, m_height);
        return;
    }
    SubSurface sub(surface);
    Graphics* g = sub.get();
    if (m_clip) g->clipRect(m_clip->x, m_clip->y, m_clip->width, m_clip->height);
    if (m_exclusion) g->excludeClipRect(m_exclusion->x, m_exclusion->y, m_exclusion->width, m_exclusion->height);
    const auto columns = tilePositions(m_tileX0, m_image->getWidth(), m_gapX, m_width);
    const auto rows = tilePositions(m_tileY0, m_image->getHeight(), m_gapY, m_height);
    for (int32_t a : columns) {
        for (int32_t b : rows) drawWithBlend(g, m_image.get(), m_x + a, m_y + b);
    }
}

} // namespace mph
