// FontMetrics: widths of characters and strings from the font's advance table.
#include "gfx/FontMetrics.h"

#include "gfx/Font.h"

#include <cstring>

namespace mph {

FontMetrics::FontMetrics(const Font& font) : m_data(font.sizeData()), m_weight(font.getStyle() & 1 ? 700 : 400) {}

int32_t FontMetrics::stringWidth(const char* chars, int32_t offset, int32_t length) const {
    if (chars == nullptr || length <= 0 || offset < 0) return 0;
    int32_t width = 0;
    for (int32_t i = 0; i < length; ++i) width += m_data.advance[static_cast<uint8_t>(chars[offset + i])];
    return width;
}

int32_t FontMetrics::stringWidth(const lang::String& text) const {
    return stringWidth(text.c_str(), 0, text.length());
}

int32_t FontMetrics::stringWidth(const char* text) const {
    return text ? stringWidth(text, 0, static_cast<int32_t>(std::strlen(text))) : 0;
}

} // namespace mph
