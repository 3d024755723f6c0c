// Font: a face name, style bits and pixel size, resolved once to a font file, with its glyphs and metrics.
#pragma once

#include "gfx/FontService.h"
#include "runtime/String.h"

#include <cstdint>

namespace mph {

class FontMetrics;

class Font : public lang::Object {
    LANG_CLASS(Font, Object)

public:
    enum Style : int32_t { kBold = 1, kItalic = 2, kUnderline = 4 };

    // size is the character (em) height in pixels; 0 or less means the default of 12.
    Font(const lang::String& faceName, int32_t style, int32_t size);
    // The full form; character set, precision and pitch are kept only for those who ask.
    Font(const lang::String& faceName, int32_t style, int32_t size, int32_t charSet, int32_t outputPrecision,
         int32_t pitchAndFamily);
    ~Font() override;

    // The metrics, made on first request; the same object every time, returned with a new reference.
    FontMetrics* getMetrics();

    const lang::String& getFaceName() const { return m_faceName; }
    int32_t getStyle() const { return m_style; }
    int32_t getSize() const { return m_size; }
    int32_t getCharSet() const { return m_charSet; }
    // The family actually used, e.g. "Liberation Sans" for "Arial"; empty when no font exists.
    std::string getFamilyName() const { return m_file ? m_file->family : std::string(); }

    int32_t getAscent() const { return m_data.ascent; }
    int32_t getDescent() const { return m_data.descent; }
    int32_t getHeight() const { return m_data.ascent + m_data.descent; }
    int32_t charWidth(uint8_t c) const { return m_data.advance[c]; }
    uint32_t glyphIndex(uint8_t c) const { return m_data.glyph[c]; }
    const FontSizeData& sizeData() const { return m_data; }

    // The glyph of an 8-bit (Latin-1) character as 65-level coverage; false when it cannot be rendered.
    bool getGlyphCoverage(uint8_t c, GlyphCoverage& out) const;
    // The cairo face to draw with; null when no font exists.
    cairo_font_face_t* cairoFace() const { return m_file ? m_file->cairoFace : nullptr; }

private:
    void init();

    lang::String m_faceName;
    int32_t m_style = 0;
    int32_t m_size = 12;
    int32_t m_charSet = 0;
    int32_t m_outputPrecision = 0;
    int32_t m_pitchAndFamily = 0;
    const FontFile* m_file = nullptr;
    FontSizeData m_data;
    FontMetrics* m_metrics = nullptr;
};

// Whether the system draws text anti-aliased.
bool isFontSmoothingOn();

} // namespace mph
