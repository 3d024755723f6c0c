// NumberSprite: an integer drawn with glyphs cut from a strip of equal cells, with separators, a
// currency sign, clock colons and a minus sign as its style asks.
#pragma once

#include "sprites/AnimateSprite.h"

#include <vector>

namespace mph {

// The strip holds 10 cells (digits 0 to 9) in the plain style, else 15: colon, minus, currency sign,
// comma, period, then digits 0 to 9. The currency style shows cents (a whole amount shows none); the time
// style takes seconds and shows hours, minutes and seconds.
class NumberSprite : public AnimateSprite {
    LANG_CLASS(NumberSprite, AnimateSprite)

public:
    enum Style { Default = 0, Plain = 1, Currency = 2, Time = 3 };
    enum Glyph { Colon = 0, Minus = 1, CurrencySign = 2, Comma = 3, Period = 4, Digit0 = 5 };

    // One cell of the rendering: the strip cell, and the column span it is drawn into.
    struct Placed {
        int32_t glyph;
        int32_t left;
        int32_t width;
    };

    explicit NumberSprite(int32_t style = Default);

    bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params) override;
    void paint(Graphics* surface) override;
    lang::Rectangle& getBounds() override;
    Sprite* clone() const override;
    void setImage(Image* image) override;

    void setValue(int32_t v);
    int32_t getValue() const;
    // The stored value (in the time style, hours * 10000 + minutes * 100 + seconds).
    int32_t getRawValue() const { return m_value; }
    void setStyle(int32_t style);
    void setAlignment(int32_t alignment) { m_alignment = alignment; }
    // Width of the rendering in half-glyph units, from the value, the style and minDigits.
    int32_t getWidthUnits() const;
    int32_t getGlyphWidth() const { return m_glyphWidth; }
    // Width of the rendering in pixels.
    int32_t pixelWidth() const;
    // The cells drawn, from the rightmost to the leftmost; empty for an unknown alignment.
    std::vector<Placed> layout() const;

    // Written directly by the owner, who then invalidates.
    int32_t minDigits = 0;
    int32_t overlap = 0;

    // The strip cells used for the user's separators.
    static int32_t decimalGlyph();
    static int32_t thousandsGlyph();

private:
    void computeGlyphSize();

    int32_t m_value = 0;
    int32_t m_alignment = 0;
    bool m_plain = false;
    bool m_currency = false;
    bool m_timeStyle = false;
    int32_t m_glyphWidth = 0;
    int32_t m_glyphHeight = 0;
};

} // namespace mph
