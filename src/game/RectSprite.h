// RectSprite: a rectangle of one colour blended over what lies beneath, such as the dimming behind dialogs.
#pragma once

#include "runtime/Class.h"
#include "sprites/Sprite.h"

namespace mph {

class RectSprite : public Sprite {
    LANG_CLASS(RectSprite, Sprite)

public:
    static constexpr uint32_t kDefaultColour = 0x80000000u;

    RectSprite() = default;
    RectSprite(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour);

    // Numbers: x y width height [colour as a 32-bit ARGB value]. A picture, when given, is not used.
    bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params) override;
    // Fills the rectangle (cut to the clip) with the colour blended by its alpha; only picture surfaces
    // can be blended into, so a window surface gets nothing.
    void paint(Graphics* surface) override;
    Sprite* clone() const override;

    uint32_t getColour() const { return m_colour; }
    void setColour(uint32_t colour);

    // Blends colour over the pixels of area (surface coordinates) inside the surface's clip: each channel
    // becomes (dst * (255 - a) + colour * a) / 256 with a the colour's alpha, alpha 255; a = 255 writes the
    // colour. Does nothing unless the surface draws into a picture (GraphicsI).
    static void fillBlended(Graphics* surface, const lang::Rectangle& area, uint32_t colour);
    // The class's entry in the class registry.
    static const lang::Class& classRecord();

private:
    uint32_t m_colour = kDefaultColour;
};

} // namespace mph
