// RichTTYSprite: a small text console that word-wraps marked-up text into lines with colours and bold and
// italic runs.
#pragma once

#include "runtime/Color.h"
#include "runtime/String.h"
#include "sprites/Sprite.h"

#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace mph {

// Text is stored as cells: bits 0-7 the character, bit 8 bold, bit 9 italic, bits 16-19, 20-23 and 24-27
// the top four bits of blue, green and red. A cell of 0 ends a line. Markup in print(): a backtick and a
// letter turns an attribute on, a backtick, "/" and the letter turns it off; "C" takes six hex digits
// RRGGBB and "c" three (one per channel) for the colour, "b" bold, "i" italic, "l" a line feed, "r" a
// carriage return, "n" the defaults again, and two backticks a literal backtick.
class RichTTYSprite : public Sprite {
    LANG_CLASS(RichTTYSprite, Sprite)

public:
    static constexpr int32_t kBold = 0x100;
    static constexpr int32_t kItalic = 0x200;
    static constexpr int32_t kColourMask = 0x0FFF0000;
    static constexpr int32_t kMaxColumns = 1024;
    static constexpr int32_t kMaxHistory = 250;

    RichTTYSprite();
    ~RichTTYSprite() override;

    bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params) override;
    void paint(Graphics* surface) override;
    lang::Rectangle& getBounds() override;

    // Chooses the fonts (the largest size up to size whose height fits size) and lays out the lines.
    void configure(int32_t width, int32_t height, int32_t size, uint32_t colour,
                   std::optional<uint32_t> background, bool keepHistory);
    void clear();
    void print(const char* markup);
    void print(const lang::String& markup) { print(markup.c_str()); }
    void putChar(int32_t ch);

    // The cell attribute bits of a colour's top nibbles, and the colour a cell's bits show.
    static int32_t colourBits(uint32_t argb);
    static lang::Color cellColour(int32_t cell);

    int32_t getLineCount() const { return m_lines; }
    int32_t getHistorySize() const { return static_cast<int32_t>(m_history.size()); }
    // The history line at index (0 is the oldest kept), cut at its end marker.
    std::vector<int32_t> historyLine(int32_t index) const;
    // The characters of the visible line i (counted from the top of the painted window).
    lang::String lineText(int32_t i) const;
    int32_t getScrollOffset() const { return m_scrollOffset; }
    void setScrollOffset(int32_t offset);
    int32_t getLine() const { return m_line; }
    int32_t getColumn() const { return m_column; }
    int32_t getCurrentColour() const { return m_currentColour; }
    int32_t getCurrentStyle() const { return m_currentStyle; }

protected:
    // The width of text in the regular font; measuring is separate so the wrapping does not depend on how
    // the fonts are obtained.
    virtual int32_t textWidth(const lang::String& text) const;
    // Lays out the lines for a regular font of the given line height and ascent, and resets the text.
    void configureLayout(int32_t width, int32_t height, int32_t lineHeight, int32_t ascent, uint32_t colour,
                         std::optional<uint32_t> background, bool keepHistory);

private:
    struct Fonts;
    using Line = std::vector<int32_t>;

    Line& writeLine(int32_t i);
    static void shrink(Line& line);
    void store(int32_t cell);

    std::unique_ptr<Fonts> m_fonts;
    std::optional<lang::Color> m_background;
    int32_t m_lineHeight = 1;
    int32_t m_baseline = 2;
    int32_t m_lines = 1;
    int32_t m_wrapWidth = 0;
    std::deque<Line> m_history;
    int32_t m_line = 0;
    int32_t m_column = 0;
    lang::String m_currentText;
    int32_t m_currentColour = 0;
    int32_t m_currentStyle = 0;
    int32_t m_defaultColour = 0;
    int32_t m_defaultStyle = 0;
    bool m_keepHistory = false;
    bool m_wrapPending = false;
    int32_t m_scrollOffset = 0;
};

} // namespace mph
