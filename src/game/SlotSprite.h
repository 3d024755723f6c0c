// SlotSprite: a hole in a conveyor row that accepts one shape frame, with a pulsing highlight.
#pragma once

#include "runtime/Class.h"
#include "sprites/Sprite.h"

namespace mph {

class SlotSprite : public Sprite {
    LANG_CLASS(SlotSprite, Sprite)

public:
    static constexpr uint32_t kDefaultTint = 0x80FFFFFFu;

    SlotSprite() = default;

    // Numbers: x y [width height]. The picture is optional; without one, width and height give the size
    // (the game builds the slot's picture later and hands it over with setImage).
    bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params) override;
    // While highlighted, first blends the tint over the slot's rectangle (picture surfaces only), then
    // draws the picture as a plain sprite does.
    void paint(Graphics* surface) override;
    // While highlighted, the tint's alpha pulses between 64 and 160 with a period of 32 ticks.
    bool step(int32_t tick, lang::Rectangle& rect) override;
    Sprite* clone() const override;

    // The shape frame the slot accepts.
    int32_t getFrame() const { return m_frame; }
    void setFrame(int32_t frame) { m_frame = frame; }
    bool isHighlighted() const { return m_highlighted; }
    // Records the area when the state changes.
    void setHighlighted(bool on);
    uint32_t getTintColour() const { return m_tint; }
    void setTintColour(uint32_t argb);

    // The tint alpha of the pulse at a tick: |((tick * 6) mod 192) - 96| + 64.
    static uint32_t pulseAlpha(int32_t tick);
    static const lang::Class& classRecord();

private:
    int32_t m_frame = 0;
    uint32_t m_tint = kDefaultTint;
    bool m_highlighted = false;
};

} // namespace mph
