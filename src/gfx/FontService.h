// FontService: the one place that turns face names into font files, and reads metrics and glyphs from them.
#pragma once

#include "runtime/Object.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

typedef struct _cairo_font_face cairo_font_face_t;
typedef struct FT_FaceRec_* FT_Face;
typedef struct FT_LibraryRec_* FT_Library;

namespace mph {

// One glyph as 65-level coverage: values 0 (empty) to 64 (full), rows padded to 4 bytes. originX is the
// bitmap's left edge relative to the pen, originY its top row above the baseline, advance the pen step.
struct GlyphCoverage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;
    int32_t originX = 0;
    int32_t originY = 0;
    int32_t advance = 0;
    std::vector<uint8_t> levels;
};

// A resolved font file, loaded once for the life of the process. Sizes are measured from its tables
// directly (unhinted advances rounded once per glyph), so layout does not depend on the rasteriser.
struct FontFile {
    std::string family; // the family fontconfig actually found
    std::string path;
    FT_Face face = nullptr;              // metrics and coverage; only under the service's lock
    cairo_font_face_t* cairoFace = nullptr; // drawing; cairo serialises its own face
    int32_t unitsPerEm = 2048;
    int32_t winAscent = 0;
    int32_t winDescent = 0;
    int32_t lineGap = 0;
    int32_t avgCharWidth = 0;
    int32_t underlinePosition = 0;
    int32_t underlineThickness = 0;
};

// The per-size figures a Font needs, computed once by the service.
struct FontSizeData {
    int32_t ascent = 0;
    int32_t descent = 0;
    int32_t internalLeading = 0;
    int32_t externalLeading = 0;
    int32_t avgCharWidth = 0;
    int32_t maxCharWidth = 0;
    int32_t underlineOffset = 0; // below the baseline
    int32_t underlineThickness = 1;
    int32_t advance[256] = {};
    uint32_t glyph[256] = {};
};

class FontService : public lang::Object {
    LANG_CLASS(FontService, Object)

public:
    static FontService& instance();

    // The family a face name stands for on this system: "Arial" is Liberation Sans and "Verdana" is
    // DejaVu Sans whatever fontconfig would pick; other names pass through.
    static std::string mapFamily(const std::string& faceName);

    // The font file for a face name and style (1 bold, 2 italic); null only when no font exists at all.
    const FontFile* resolve(const std::string& faceName, int32_t style);
    // Fills the per-size figures of a file at a pixel size (the em height).
    void measure(const FontFile& file, int32_t size, FontSizeData& out);
    // Renders one glyph as coverage; false when the font cannot render it.
    bool renderGlyph(const FontFile& file, int32_t size, uint32_t glyph, int32_t advance, GlyphCoverage& out);
    // Whether text is drawn anti-aliased: fontconfig's antialias setting for the default sans family.
    bool isFontSmoothingOn();

private:
    FontService();
    ~FontService() override;
    std::unique_ptr<FontFile> load(const std::string& family, int32_t style);

    FT_Library m_library = nullptr;
    std::map<std::string, std::unique_ptr<FontFile>> m_files;
    int m_smoothing = -1;
};

} // namespace mph
