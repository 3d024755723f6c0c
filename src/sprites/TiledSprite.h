// TiledSprite: a rectangle covered with copies of one picture, or with a flat colour when it has none.
#pragma once

#include "runtime/Color.h"
#include "sprites/Sprite.h"

#include <vector>

namespace mph {

class TiledSprite : public Sprite {
    LANG_CLASS(TiledSprite, Sprite)

public:
    TiledSprite() = default;

    bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params) override;
    void paint(Graphics* surface) override;
    // Replaces the picture; the area keeps its size.
    void setImage(Image* image) override;

    virtual void setFillColor(const lang::Color& color);
    virtual void setSpacing(int32_t gapX, int32_t gapY);
    virtual void setTileOffset(int32_t x0, int32_t y0);
    virtual void setArea(int32_t width, int32_t height);

    // The positions, relative to the area, at which tiles are drawn along one axis: from first, one tile
    // plus the gap apart, while inside the area.
    static std::vector<int32_t> tilePositions(int32_t first, int32_t tileSize, int32_t gap, int32_t area);
    const lang::Color& getFillColor() const { return m_fillColor; }

private:
    lang::Color m_fillColor;
    int32_t m_tileX0 = 0;
    int32_t m_tileY0 = 0;
    int32_t m_gapX = 0;
    int32_t m_gapY = 0;
};

} // namespace mph
