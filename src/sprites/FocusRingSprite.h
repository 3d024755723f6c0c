// FocusRingSprite: the ring that marks where the keyboard's (or a gamepad's) focus is: gold enamel with a
// dark rim and a soft glow, drawn around an item and gently pulsing.
#pragma once

#include "runtime/Rectangle.h"
#include "sprites/Sprite.h"

namespace mph {

class FocusRingSprite : public Sprite {
    LANG_CLASS(FocusRingSprite, Sprite)

public:
    // A focus ring marks what Enter presses; a target ring, brighter and wider, the hole a held shape goes
    // into.
    enum Style { Focus = 0, Target = 1 };
    // How far the ring's picture reaches outside the item it surrounds.
    static constexpr int32_t kMargin = 8;
    // The pulse's period in ticks.
    static constexpr int32_t kPulseTicks = 32;

    explicit FocusRingSprite(Style style = Focus);

    // Surrounds the item (in the holder's coordinates) and shows the ring; the picture is drawn again only
    // when the item's size changes. round: the item's corners are rounded this much.
    void surround(const lang::Rectangle& item, int32_t round);
    // The item the ring surrounds now.
    const lang::Rectangle& item() const { return m_item; }
    bool step(int32_t tick, lang::Rectangle& rect) override;
    Sprite* clone() const override;

    // Draws the ring of a style around an item of width x height with corners rounded by round; the
    // picture is the item's size plus kMargin on every side, with straight alpha.
    static lang::Ref<Image> drawRing(int32_t width, int32_t height, int32_t round, Style style);

private:
    Style m_style;
    lang::Rectangle m_item;
    int32_t m_round = -1;
};

} // namespace mph
