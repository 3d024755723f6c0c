// SquishSprite: a copy of another sprite's frame that shrinks towards an anchor until it is gone.
#pragma once

#include "gfx/BitmapScaler.h"
#include "runtime/Class.h"
#include "sprites/AnimateSprite.h"

namespace mph {

class SquishSprite : public AnimateSprite {
    LANG_CLASS(SquishSprite, AnimateSprite)

public:
    // Anchor bits; with no bit of an axis the frame shrinks towards its centre on that axis.
    static constexpr int32_t kAnchorLeft = 1;
    static constexpr int32_t kAnchorRight = 2;
    static constexpr int32_t kAnchorTop = 4;
    static constexpr int32_t kAnchorBottom = 8;

    // Starts hidden.
    SquishSprite();

    // AnimateSprite's numbers, then the anchor: the 9th number after a full list (x y columns rows frame
    // delay pingpong step anchor), or the 6th after a short one (x y columns rows frame anchor). Stays
    // hidden whatever the frame number says.
    bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params) override;
    // The frame at the current scale, placed by the anchor; at full scale the plain frame.
    void paint(Graphics* surface) override;
    // Takes stepX and stepY off the scales; when a scale reaches 0 the squish ends and the sprite hides.
    bool step(int32_t tick, lang::Rectangle& rect) override;
    Sprite* clone() const override;

    // Copies source's picture grid, frame and position, then shows itself and shrinks by stepX and stepY
    // of its size per tick towards anchor.
    void start(const AnimateSprite& source, double stepX, double stepY, int32_t anchor);

    double getScaleX() const { return m_scaleX; }
    double getScaleY() const { return m_scaleY; }
    int32_t getAnchor() const { return m_anchor; }
    void setAnchor(int32_t anchor) { m_anchor = anchor; }
    // Whether a squish is under way.
    bool isSquishing() const { return m_stepX != 0 || m_stepY != 0; }
    // Where the shrunk frame goes: its size and top-left corner.
    void scaledPlacement(int32_t& px, int32_t& py, int32_t& width, int32_t& height) const;

    static const lang::Class& classRecord();

private:
    // Shrinks one axis; true when its squish ended.
    static bool shrink(double& scale, double& step);

    double m_scaleX = 1.0;
    double m_scaleY = 1.0;
    double m_stepX = 0.0;
    double m_stepY = 0.0;
    int32_t m_anchor = 0;
    // The last scaled frame, reused while the size, frame and picture stay the same.
    lang::Ref<Image> m_scaled;
    lang::Ref<Image> m_scaledFrom;
    int32_t m_scaledFrame = -1;
};

} // namespace mph
