// NumberSprite: value storage, the width of the rendering and the right-to-left glyph layout.
#include "sprites/NumberSprite.h"

#include "gfx/Image.h"
#include "runtime/Locale.h"
#include "sprites/PaintSupport.h"
#include "sprites/SpriteClasses.h"

#include <algorithm>
#include <cstdlib>

using namespace lang;

namespace mph {

namespace {
ClassRecord<NumberSprite> numberRecord("NumberSprite");

// However large minDigits is set, a 32-bit value never needs more cells than this.
constexpr int32_t kMaxCells = 64;
} // namespace

const Class& SpriteClasses::numberSprite() { return numberRecord; }

int32_t NumberSprite::decimalGlyph() { return Locale::decimalSeparator() == ',' ? Comma : Period; }
int32_t NumberSprite::thousandsGlyph() { return Locale::thousandsSeparator() == '.' ? Period : Comma; }

NumberSprite::NumberSprite(int32_t style) {
    m_plain = style == Plain;
    m_currency = style == Currency;
    m_timeStyle = style == Time;
}

bool NumberSprite::initFromDefinition(const ObjectArray& images, const IntArray& params) {
    if (params.length < 2) return false;
    setImage(definitionImage(images, 0));
    setLocation(params[0], params[1]);
    if (params.length >= 3) m_alignment = params[2];
    if (params.length >= 4) setValue(params[3]);
    if (params.length >= 5) setStyle(params[4]);
    return true;
}

void NumberSprite::setStyle(int32_t style) {
    invalidate();
    m_plain = style == Plain;
    m_currency = style == Currency;
    m_timeStyle = style == Time;
    computeGlyphSize();
    invalidate();
}

void NumberSprite::setImage(Image* image) {
    AnimateSprite::setImage(image);
    computeGlyphSize();
}

void NumberSprite::computeGlyphSize() {
    if (!m_image) return;
    m_glyphWidth = m_image->getWidth() / (m_plain ? 10 : 15);
    m_glyphHeight = m_image->getHeight();
}

void NumberSprite::setValue(int32_t v) {
    invalidate();
    if (m_timeStyle) {
        m_value = (v / 3600) * 10000 + ((v % 3600) / 60) * 100 + v % 60;
    } else {
        m_value = v;
    }
    invalidate();
}

int32_t NumberSprite::getValue() const {
    if (!m_timeStyle) return m_value;
    int32_t v = m_value;
    if (v > 9999) {
        v %= 10000;
        if (v >= 1000) v %= 1000;
    }
    return v;
}

int32_t NumberSprite::getWidthUnits() const {
    int64_t magnitude = std::llabs(int64_t(m_value));
    int32_t digits = 1;
    while (magnitude >= 10) {
        magnitude /= 10;
        ++digits;
    }
    int32_t units = std::max(2 * digits, 2 * std::min(minDigits, kMaxCells));
    if (m_currency) {
        const int32_t u = units + (units - 6) / 6 + 2;
        if (m_value % 100 != 0) {
            units = m_value < 10 ? u + 3 : u + 1;
        } else if (m_value != 0) {
            units = u - 4;
        } else {
            units = u;
        }
    } else if (m_timeStyle) {
        if (m_value > 9999 || minDigits > 4) units += 2;
        if (m_value >= 100 || minDigits > 2) units += 2;
    } else if (!m_plain) {
        units += (units - 2) / 6;
    }
    if (m_value < 0 && !m_plain) units += 2;
    return units;
}

int32_t NumberSprite::pixelWidth() const {
    return (m_glyphWidth * getWidthUnits() + 1) / 2 - std::max(0, (getWidthUnits() - 2) * overlap / 2);
}

Rectangle& NumberSprite::getBounds() {
    const int32_t w = pixelWidth();
    int32_t left;
    switch (m_alignment) {
    case 0:
        left = m_x;
        break;
    case 1:
        left = m_x + w / 2 - w;
        break;
    case 2:
        left = m_x - w;
        break;
    default:
        return m_bounds;
    }
    m_bounds.setBounds(left, m_y, w, m_glyphHeight);
    return m_bounds;
}

std::vector<NumberSprite::Placed> NumberSprite::layout() const {
    std::vector<Placed> cells;
    const int32_t gw = m_glyphWidth;
    const int32_t w = pixelWidth();
    int32_t r;
    switch (m_alignment) {
    case 0:
        r = m_x + w;
        break;
    case 1:
        r = m_x + w / 2;
        break;
    case 2:
        r = m_x;
        break;
    default:
        return cells;
    }
    auto full = [&](int32_t glyph) {
        cells.push_back({glyph, r - gw, gw});
        r -= gw - overlap;
    };
    auto half = [&](int32_t glyph, int32_t back, int32_t forward) {
        r -= back;
        cells.push_back({glyph, r, gw / 2});
        r += forward;
    };
    int64_t n = std::llabs(int64_t(m_value));
    int32_t k = 0;
    if (m_currency && n >= 100 && n % 100 == 0) {
        n /= 100;
        k = 3;
    }
    const int32_t digitBase = m_plain ? 0 : Digit0;
    for (int32_t guard = 0; guard < kMaxCells; ++guard) {
        full(static_cast<int32_t>(n % 10) + digitBase);
        n /= 10;
        const int32_t before = k++;
        if (!m_timeStyle) {
            if (before == 1 && m_currency) {
                half(decimalGlyph(), gw / 2, (overlap + 1) / 2);
                k = 3;
            } else if (k % 3 == 0 && (n > 0 || k < minDigits) && !m_plain) {
                half(thousandsGlyph(), (gw + 1) / 2, (overlap + 1) / 2 + gw % 2);
            }
        } else if (k % 2 == 0 && (n > 0 || k < minDigits)) {
            full(Colon);
        }
        if (n == 0 && k >= minDigits && (!m_currency || k > 2 || m_value < 1)) break;
    }
    if (m_currency) full(CurrencySign);
    if (m_value < 0 && !m_plain) full(Minus);
    return cells;
}

Sprite* NumberSprite::clone() const {
    auto* copy = new NumberSprite();
    copyAnimationInto(*copy);
    copy->m_value = m_value;
    copy->m_alignment = m_alignment;
    copy->m_plain = m_plain;
    copy->m_currency = m_currency;
    copy->m_timeStyle = m_timeStyle;
    copy->m_glyphWidth = m_glyphWidth;
    copy->m_glyphHeight = m_glyphHeight;
    copy->minDigits = minDigits;
    copy->overlap = overlap;
    return copy;
}

void NumberSprite::paint(Graphics* surface) {
    if (!m_image || !m_paintVisible || surface == nullptr) return;
    SubSurface outer(surface);
    Graphics* g = outer.get();
    if (m_clip) g->clipRect(m_clip->x, m_clip->y, m_clip->width, m_clip->height);
    if (m_exclusion) g->excludeClipRect(m_exclusion->x, m_exclusion->y, m_exclusion->width, m_exclusion->height);
    const bool blended = m_fancy && loadBlend(g, *m_fancy);
    if (blended) m_image->setAlphaFlag(true);
    for (const Placed& cell : layout()) {
        SubSurface sub(g);
        sub.get()->clipRect(cell.left, m_y, cell.width, m_glyphHeight);
        sub.get()->drawImage(m_image.get(), cell.left - cell.glyph * m_glyphWidth, m_y);
    }
    if (blended) resetBlend(g);
}

} // namespace mph
