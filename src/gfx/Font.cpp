// Font: resolving the face through the font service and handing out metrics and glyphs.
#include "gfx/Font.h"

#include "gfx/FontMetrics.h"
#include "runtime/SyncGuard.h"

#include <algorithm>

namespace mph {

Font::Font(const lang::String& faceName, int32_t style, int32_t size) : m_faceName(faceName), m_style(style) {
    m_size = size > 0 ? std::min(size, 2048) : 12;
    init();
}

Font::Font(const lang::String& faceName, int32_t style, int32_t size, int32_t charSet, int32_t outputPrecision,
           int32_t pitchAndFamily)
    : Font(faceName, style, size) {
    m_charSet = charSet;
    m_outputPrecision = outputPrecision;
    m_pitchAndFamily = pitchAndFamily;
}

Font::~Font() {
    if (m_metrics) m_metrics->release();
}

void Font::init() {
    FontService& service = FontService::instance();
    m_file = service.resolve(m_faceName.str(), m_style);
    if (m_file) service.measure(*m_file, m_size, m_data);
}

FontMetrics* Font::getMetrics() {
    lang::SyncGuard guard(this);
    if (m_metrics == nullptr) m_metrics = new FontMetrics(*this);
    m_metrics->addRef();
    return m_metrics;
}

bool Font::getGlyphCoverage(uint8_t c, GlyphCoverage& out) const {
    if (m_file == nullptr) return false;
    return FontService::instance().renderGlyph(*m_file, m_size, m_data.glyph[c], m_data.advance[c], out);
}

bool isFontSmoothingOn() { return FontService::instance().isFontSmoothingOn(); }

} // namespace mph
