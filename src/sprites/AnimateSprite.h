// AnimateSprite: one cell of a picture grid, advanced on the tick clock, with glides and fades.
#pragma once

#include "sprites/Sprite.h"

namespace mph {

// The picture is cut into columns x rows equal cells; frame numbers them row by row. Frames advance by
// frameStep every frameDelay ticks; a glide moves to a target over a number of ticks, dividing the
// remaining distance by the ticks left, and a fade does the same for the opacity.
class AnimateSprite : public Sprite {
    LANG_CLASS(AnimateSprite, Sprite)

public:
    // The most cells a grid may have (a sheet of 256 by 256); a larger one is taken as one cell.
    static constexpr int32_t kMaxGridCells = 65536;

    AnimateSprite() = default;

    bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params) override;
    void paint(Graphics* surface) override;
    bool step(int32_t tick, lang::Rectangle& rect) override;
    void setLocation(int32_t x, int32_t y) override;
    void moveBy(int32_t dx, int32_t dy) override;
    Sprite* clone() const override;
    void setImage(Image* image) override;
    bool hitOpaque(int32_t px, int32_t py) override;
    void setTint(int32_t opacity, int32_t red, int32_t green, int32_t blue) override;

    virtual void setImageGrid(Image* image, int32_t columns, int32_t rows);
    virtual bool isBusy() const { return m_busy; }
    virtual void moveTo(int32_t x, int32_t y, int32_t steps);
    virtual void fadeTo(int32_t opacity, int32_t steps);
    virtual int32_t getTargetX() const { return m_targetX; }
    virtual int32_t getTargetY() const { return m_targetY; }

    void setDelay(int32_t delay) { m_frameDelay = delay; }
    int32_t getFrame() const { return m_frame; }
    void setFrame(int32_t n);
    void setPingPong(bool on);
    int32_t getFrameCount() const { return m_frameCount; }
    void setStep(int32_t step, bool loop);
    int32_t getColumns() const { return m_columns; }
    int32_t getRows() const { return m_rows; }

protected:
    // Sets the grid and derives the frame count and the cell size from the current picture.
    void applyGrid(int32_t columns, int32_t rows);
    void copyAnimationInto(AnimateSprite& other) const;

    int32_t m_moveSteps = 0;
    int32_t m_fadeSteps = 0;
    int32_t m_frameCount = 1;
    int32_t m_columns = 1;
    int32_t m_rows = 1;
    int32_t m_targetX = 0;
    int32_t m_targetY = 0;
    int32_t m_targetOpacity = 128;
    int32_t m_frame = 0;
    int32_t m_frameStep = 0;
    int32_t m_frameDelay = 0;
    int32_t m_lastFrame = 0;
    bool m_looping = true;
    bool m_pingPong = false;
    bool m_busy = false;
};

} // namespace mph
