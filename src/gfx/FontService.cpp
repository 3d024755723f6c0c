// FontService: family mapping through fontconfig, font files through FreeType, faces for cairo.
#include "gfx/FontService.h"

#include "runtime/SyncGuard.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>

namespace mph {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

int32_t scaled(int64_t units, int32_t size, int32_t upem) {
    // Rounded to the nearest pixel, halves away from zero, the same on every machine.
    const int64_t v = units * size;
    return static_cast<int32_t>(v >= 0 ? (v + upem / 2) / upem : -((-v + upem / 2) / upem));
}

const cairo_user_data_key_t kFaceKey{};

} // namespace

FontService& FontService::instance() {
    // Never destroyed: fonts may be measured by threads that outlive static destruction.
    static FontService* service = new FontService();
    return *service;
}

FontService::FontService() {
    FcInit();
    if (FT_Init_FreeType(&m_library) != 0) m_library = nullptr;
}

FontService::~FontService() = default;

std::string FontService::mapFamily(const std::string& faceName) {
    const std::string key = lower(faceName);
    if (key == "arial") return "Liberation Sans";
    if (key == "verdana") return "DejaVu Sans";
    if (key.empty()) return "Liberation Sans";
    return faceName;
}

std::unique_ptr<FontFile> FontService::load(const std::string& family, int32_t style) {
    if (m_library == nullptr) return nullptr;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, (style & 1) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, (style & 2) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return nullptr;
    FcChar8* file = nullptr;
    FcChar8* found = nullptr;
    int index = 0;
    auto out = std::make_unique<FontFile>();
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) out->path = reinterpret_cast<char*>(file);
    if (FcPatternGetString(match, FC_FAMILY, 0, &found) == FcResultMatch)
        out->family = reinterpret_cast<char*>(found);
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternDestroy(match);
    if (out->path.empty()) return nullptr;

    FT_Face face = nullptr;
    FT_Face drawFace = nullptr;
    if (FT_New_Face(m_library, out->path.c_str(), index, &face) != 0) return nullptr;
    if (FT_New_Face(m_library, out->path.c_str(), index, &drawFace) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    out->face = face;
    out->unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    if (const auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
        out->winAscent = os2->usWinAscent;
        out->winDescent = os2->usWinDescent;
        out->avgCharWidth = os2->xAvgCharWidth;
    } else {
        out->winAscent = face->ascender;
        out->winDescent = -face->descender;
        out->avgCharWidth = face->max_advance_width / 2;
    }
    // The leading outside the cell: the typographic line height beyond the ascent and descent.
    const int32_t hheaGap = face->height - (face->ascender - face->descender);
    out->lineGap = std::max(0, hheaGap - ((out->winAscent + out->winDescent) - (face->ascender - face->descender)));
    out->underlinePosition = -face->underline_position;
    out->underlineThickness = face->underline_thickness;
    // Cairo gets a face of its own, which it locks itself, and releases it with the cairo face.
    out->cairoFace = cairo_ft_font_face_create_for_ft_face(drawFace, FT_LOAD_NO_HINTING);
    cairo_font_face_set_user_data(out->cairoFace, &kFaceKey, drawFace,
                                  [](void* f) { FT_Done_Face(static_cast<FT_Face>(f)); });
    return out;
}

const FontFile* FontService::resolve(const std::string& faceName, int32_t style) {
    const std::string family = mapFamily(faceName);
    const std::string key = lower(family) + "/" + std::to_string(style & 3);
    lang::SyncGuard guard(this);
    auto it = m_files.find(key);
    if (it != m_files.end()) return it->second.get();
    std::unique_ptr<FontFile> file = load(family, style & 3);
    // A family missing on this machine falls back to the regular sans face rather than to nothing.
    if (file == nullptr && family != "Liberation Sans") file = load("Liberation Sans", style & 3);
    if (file == nullptr) file = load("sans-serif", style & 3);
    if (file == nullptr) return nullptr;
    return m_files.emplace(key, std::move(file)).first->second.get();
}

void FontService::measure(const FontFile& file, int32_t size, FontSizeData& out) {
    const int32_t upem = file.unitsPerEm;
    out.ascent = scaled(file.winAscent, size, upem);
    out.descent = scaled(file.winDescent, size, upem);
    out.internalLeading = std::max(0, out.ascent + out.descent - size);
    out.externalLeading = scaled(file.lineGap, size, upem);
    out.avgCharWidth = scaled(file.avgCharWidth, size, upem);
    out.underlineOffset = std::max(1, scaled(file.underlinePosition, size, upem));
    out.underlineThickness = std::max(1, scaled(file.underlineThickness, size, upem));
    lang::SyncGuard guard(this);
    int32_t maxWidth = 0;
    for (int c = 0; c < 256; ++c) {
        // Bytes are Latin-1, so each one is its own code point.
        const FT_UInt g = FT_Get_Char_Index(file.face, static_cast<FT_ULong>(c));
        FT_Fixed units = 0;
        if (FT_Get_Advance(file.face, g, FT_LOAD_NO_SCALE, &units) != 0) units = 0;
        out.glyph[c] = g;
        out.advance[c] = scaled(units, size, upem);
        maxWidth = std::max(maxWidth, out.advance[c]);
    }
    out.maxCharWidth = maxWidth;
}

bool FontService::renderGlyph(const FontFile& file, int32_t size, uint32_t glyph, int32_t advance,
                              GlyphCoverage& out) {
    lang::SyncGuard guard(this);
    FT_Face face = file.face;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) != 0) return false;
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return false;
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_Bitmap& bm = face->glyph->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.rows > 0) return false;
    out.width = static_cast<int32_t>(bm.width);
    out.height = static_cast<int32_t>(bm.rows);
    out.pitch = (out.width + 3) & ~3;
    out.originX = face->glyph->bitmap_left;
    out.originY = face->glyph->bitmap_top;
    out.advance = advance;
    out.levels.assign(static_cast<size_t>(out.pitch) * static_cast<size_t>(out.height), 0);
    const int grays = bm.num_grays > 1 ? bm.num_grays - 1 : 255;
    for (int32_t y = 0; y < out.height; ++y) {
        const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
        for (int32_t x = 0; x < out.width; ++x)
            out.levels[static_cast<size_t>(y) * out.pitch + x] =
                static_cast<uint8_t>((row[x] * 64 + grays / 2) / grays);
    }
    return true;
}

bool FontService::isFontSmoothingOn() {
    lang::SyncGuard guard(this);
    if (m_smoothing < 0) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("Liberation Sans"));
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcBool on = FcTrue;
        if (FcPatternGetBool(pattern, FC_ANTIALIAS, 0, &on) != FcResultMatch) on = FcTrue;
        FcPatternDestroy(pattern);
        m_smoothing = on ? 1 : 0;
    }
    return m_smoothing == 1;
}

} // namespace mph
