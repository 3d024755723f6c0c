// FontMetrics: the measurements of one font that text layout uses.
#pragma once

#include "gfx/FontService.h"
#include "runtime/String.h"

#include <cstdint>

namespace mph {

class Font;

// A snapshot of the font's figures, so the metrics stay valid whoever releases the font first.
class FontMetrics : public lang::Object {
    LANG_CLASS(FontMetrics, Object)

public:
    explicit FontMetrics(const Font& font);

    // The cell height (ascent + descent), which line layout uses.
    int32_t getHeight() const { return m_data.ascent + m_data.descent; }
    int32_t getAscent() const { return m_data.ascent; }
    int32_t getDescent() const { return m_data.descent; }
    int32_t getInternalLeading() const { return m_data.internalLeading; }
    int32_t getExternalLeading() const { return m_data.externalLeading; }
    int32_t getAveCharWidth() const { return m_data.avgCharWidth; }
    int32_t getMaxCharWidth() const { return m_data.maxCharWidth; }
    int32_t getWeight() const { return m_weight; }

    int32_t charWidth(char c) const { return m_data.advance[static_cast<uint8_t>(c)]; }
    // The width of length characters from offset; 0 when length is 0 or less.
    int32_t stringWidth(const char* chars, int32_t offset, int32_t length) const;
    int32_t stringWidth(const lang::String& text) const;
    // A zero-terminated text; null measures 0.
    int32_t stringWidth(const char* text) const;

private:
    FontSizeData m_data;
    int32_t m_weight = 400;
};

} // namespace mph
