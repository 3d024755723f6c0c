// WaveSprite: a picture whose columns ride up and down on a travelling sine wave.
#pragma once

#include "sprites/Sprite.h"

namespace mph {

// The sprite shows a private copy of the picture padded with transparent margins (10 pixels left and
// right, the amplitude above and below) so that displaced columns never lose pixels and each tick's
// displacement can be undone exactly. The position callers see is the corner of the source picture.
class WaveSprite : public Sprite {
    LANG_CLASS(WaveSprite, Sprite)

public:
    WaveSprite() = default;

    bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params) override;
    bool step(int32_t tick, lang::Rectangle& rect) override;
    void setLocation(int32_t x, int32_t y) override;
    int32_t getX() const override { return m_x + m_marginX; }
    int32_t getY() const override { return m_y + m_amplitude; }

    // Shifts each column i of image by amp * sin(phase - i degrees) rows, clearing the rows it leaves.
    static void displace(Image* image, int32_t amp, int32_t phase);
    int32_t getPhase() const { return m_phase; }
    int32_t getAmplitude() const { return m_amplitude; }

private:
    int32_t m_marginX = 10;
    int32_t m_amplitude = 0;
    int32_t m_phase = 0;
};

} // namespace mph
