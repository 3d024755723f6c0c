// RectButtonSprite: an invisible rectangular hot spot with the states of a button.
#pragma once

#include "sprites/ButtonSprite.h"

namespace mph {

// It has no picture: painting and dirty areas do nothing, so state changes never cause repainting.
class RectButtonSprite : public ButtonSprite {
    LANG_CLASS(RectButtonSprite, ButtonSprite)

public:
    RectButtonSprite() = default;

    bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params) override;
    void paint(Graphics*) override {}
    void addDirty(const lang::Rectangle&) override {}
    bool contains(int32_t x, int32_t y) override;
    lang::Rectangle& getBounds() override { return m_hitRect; }

    void setHitRect(int32_t x, int32_t y, int32_t width, int32_t height) { m_hitRect.setBounds(x, y, width, height); }

private:
    lang::Rectangle m_hitRect;
};

} // namespace mph
