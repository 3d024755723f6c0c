// ShapeSprite: a game piece showing one frame of the shape table, with its fall, reveal band and marker.
#pragma once

#include "runtime/Class.h"
#include "sprites/AnimateSprite.h"

namespace mph {

class ShapeSprite : public AnimateSprite {
    LANG_CLASS(ShapeSprite, AnimateSprite)

public:
    // How far down and right the drop shadow of a falling shape lies.
    static constexpr int32_t kShadowOffset = 8;

    ShapeSprite() = default;

    // In order: the drop shadow (while shadowed), the frame (only the reveal band while one is open), and
    // the marker centred on the shape (while it carries a power-up).
    void paint(Graphics* surface) override;
    // The fall, the growth of the reveal band and the marker's repaint, then the animation step.
    bool step(int32_t tick, lang::Rectangle& rect) override;
    // Grown by the shadow offset while shadowed, and by the marker where it sticks out.
    lang::Rectangle& getBounds() override;
    // Shares the marker.
    Sprite* clone() const override;
    bool isBusy() const override { return m_falling; }

    // Throws the shape up from where it stands, or, when it is coming down (a landed shape keeps its
    // landing speed), bounces it: 0.65 of the speed back up, the sideways direction reversed when it
    // landed faster than 5 pixels per tick. It falls until its y reaches floorY, shadowed.
    void startFall(int32_t floorY);
    // Back to a shape standing still: no velocity down, not falling, no shadow, no bounces, no reveal.
    void reset();

    // The marker drawn over a power-up carrier; shared by every shape that shows it (may be null).
    void setMarkerSprite(Sprite* marker);
    Sprite* getMarkerSprite() const { return m_marker.get(); }
    bool carriesPowerUp() const { return m_carriesPowerUp; }
    void setCarriesPowerUp(bool on);
    // While at least 1, only a band of twice this height, centred on the shape, is drawn; it grows by 2
    // each tick until it covers the shape. -1 or 0 draws the whole shape.
    int32_t getRevealHalfHeight() const { return m_revealHalfHeight; }
    void setRevealHalfHeight(int32_t halfHeight);
    bool isFalling() const { return m_falling; }
    bool isShadowed() const { return m_shadowed; }
    void setShadowed(bool on);
    float getVelX() const { return m_velX; }
    float getVelY() const { return m_velY; }
    int32_t getFloorY() const { return m_floorY; }
    int32_t getBounceCount() const { return m_bounceCount; }

    static const lang::Class& classRecord();

private:
    // One tick of the fall.
    void fallStep();
    // Where the marker's top-left corner goes so that it is centred on the shape.
    void markerCorner(int32_t& mx, int32_t& my) const;

    lang::Ref<Sprite> m_marker;
    float m_posX = 0;
    float m_posY = 0;
    float m_velX = 0;
    float m_velY = 0;
    int32_t m_floorY = 0;
    int32_t m_bounceCount = 0;
    int32_t m_revealHalfHeight = -1;
    bool m_falling = false;
    bool m_shadowed = false;
    bool m_carriesPowerUp = false;
};

} // namespace mph
