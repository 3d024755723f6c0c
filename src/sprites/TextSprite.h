// TextSprite: one line of text in a font, pre-rendered into an anti-aliased picture when the system does
// not smooth fonts itself.
#pragma once

#include "runtime/String.h"
#include "sprites/Sprite.h"

#include <memory>

namespace mph {

class Font;

// The position's y is the line below the text: the text's cell spans y - height + 2 to y + 2, and x is
// the left edge, the centre or the right edge as alignment (0, 1, 2) says.
class TextSprite : public Sprite {
    LANG_CLASS(TextSprite, Sprite)

public:
    // No font: the owner must setFont before the text shows.
    TextSprite();
    TextSprite(Font* font, uint32_t colour, uint32_t colour2, bool outline, bool boxed);
    ~TextSprite() override;

    bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params) override;
    void paint(Graphics* surface) override;
    bool step(int32_t tick, lang::Rectangle& rect) override;
    lang::Rectangle& getBounds() override;
    void unloadImage() override;
    void reloadImage() override;

    void setText(const lang::String& text);
    const lang::String& getText() const { return m_text; }
    void setFont(Font* font);
    void setColors(uint32_t colour, uint32_t colour2);
    void setCaret(bool on);
    void setAlignment(int32_t alignment) { m_alignment = alignment; }
    bool isCaretShown() const { return m_caretEnabled && m_caretPhase; }
    // Whether pre-rendering is skipped because the system smooths text itself; fixed for tests.
    void setFontSmoothing(bool on);
    bool hasRenderedImage() const { return m_image != nullptr; }

private:
    struct FontRef;

    int32_t left() const;
    void measure();
    // Renders the text into the picture from glyph coverage; drops the picture when that is not possible.
    void render();

    lang::String m_text;
    std::unique_ptr<FontRef> m_font;
    uint32_t m_colour = 0xFF000000u;
    uint32_t m_colour2 = 0xFFFFFFFFu;
    bool m_outline = false;
    bool m_boxed = false;
    int32_t m_alignment = 0;
    bool m_fontSmoothing = false;
    bool m_caretEnabled = false;
    bool m_caretPhase = false;
    int32_t m_caretWidth = 0;
};

} // namespace mph
