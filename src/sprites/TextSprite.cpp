// TextSprite: measuring, the caret, pre-rendering from glyph coverage and painting.
#include "sprites/TextSprite.h"

#include "gfx/Image.h"
#include "sprites/PaintSupport.h"
#include "sprites/SpriteClasses.h"

#include "gfx/Font.h"
#include "gfx/FontMetrics.h"

using namespace lang;

namespace mph {

namespace {
ClassRecord<TextSprite> textRecord("TextSprite");
} // namespace

const Class& SpriteClasses::textSprite() { return textRecord; }

struct TextSprite::FontRef {
    Ref<Font> font;
    Ref<FontMetrics> metrics;
};

TextSprite::TextSprite() : m_font(std::make_unique<FontRef>()) {
    m_fontSmoothing = isFontSmoothingOn();
    measure();
}

TextSprite::TextSprite(Font* font, uint32_t colour, uint32_t colour2, bool outline, bool boxed) : TextSprite() {
    m_colour = colour;
    m_colour2 = colour2;
    m_outline = outline;
    m_boxed = boxed;
    setFont(font);
}

TextSprite::~TextSprite() = default;

bool TextSprite::initFromDefinition(const ObjectArray&, const IntArray& params) {
    if (params.length < 2) return false;
    setLocation(params[0], params[1]);
    if (params.length >= 3) m_alignment = params[2];
    return true;
}

int32_t TextSprite::left() const {
    switch (m_alignment) {
    case 1:
        return m_x - m_width / 2;
    case 2:
        return m_x - m_width;
    default:
        return m_x;
    }
}

Rectangle& TextSprite::getBounds() {
    m_bounds.setBounds(left(), m_y - m_height + 2, m_width + (m_caretEnabled ? m_caretWidth : 0), m_height);
    return m_bounds;
}

bool TextSprite::step(int32_t tick, Rectangle& rect) {
    if (m_caretEnabled && tick % 20 == 0) {
        invalidate();
        m_caretPhase = !m_caretPhase;
        invalidate();
    }
    return Sprite::step(tick, rect);
}

void TextSprite::setText(const String& text) {
    invalidate();
    m_text = text;
    measure();
    render();
    invalidate();
}

void TextSprite::setColors(uint32_t colour, uint32_t colour2) {
    invalidate();
    m_colour = colour;
    m_colour2 = colour2;
    render();
    invalidate();
}

void TextSprite::setFontSmoothing(bool on) {
    invalidate();
    m_fontSmoothing = on;
    render();
    invalidate();
}

void TextSprite::unloadImage() { m_image = nullptr; }

void TextSprite::reloadImage() {
    if (!m_image) render();
}


void TextSprite::setFont(Font* font) {
    invalidate();
    m_font->font = retain(font);
    m_font->metrics = font ? adopt(font->getMetrics()) : nullptr;
    measure();
    if (m_caretEnabled && m_font->metrics) m_caretWidth = m_font->metrics->stringWidth("|");
    render();
    invalidate();
}

void TextSprite::setCaret(bool on) {
    m_caretEnabled = on;
    m_caretWidth = m_font->metrics ? m_font->metrics->stringWidth("|") : 0;
    invalidate();
}

void TextSprite::measure() {
    const FontMetrics* metrics = m_font->metrics.get();
    m_width = (metrics ? metrics->stringWidth(m_text) : 0) + 4;
    m_height = (metrics ? metrics->getHeight() : 0) + 2;
}

void TextSprite::render() {
    const Font* font = m_font->font.get();
    if (m_fontSmoothing || m_outline || m_text.isEmpty() || font == nullptr) return;
    if (!Image::sizeAcceptable(m_width, m_height) || m_width <= 0 || m_height <= 0) return;
    Ref<Image> target = m_image;
    if (!target || target->getWidth() != m_width || target->getHeight() != m_height || !target->hasPixels()) {
        target = adopt(new Image(m_width, m_height, 1, false));
        target->setAlphaFlag(true);
    }
    uint32_t* pixels = target->getPixels();
    const int32_t stride = target->getStride() / 4;
    const uint32_t ground = m_colour & 0x00FFFFFFu;
    for (int64_t i = 0, n = int64_t(stride) * m_height; i < n; ++i) pixels[i] = ground;
    int32_t pen = 2;
    GlyphCoverage glyph;
    for (int32_t c = 0; c < m_text.length(); ++c) {
        const auto ch = static_cast<uint8_t>(m_text.charAt(c));
        if (!font->getGlyphCoverage(ch, glyph)) {
            // Without every glyph the picture would be wrong; painting falls back to drawn text.
            m_image = nullptr;
            return;
        }
        if (ch >= 33) {
            const int32_t x0 = pen + glyph.originX < 0 ? 0 : pen + glyph.originX;
            const int32_t top = font->getAscent() - glyph.originY;
            for (int32_t row = 0; row < glyph.height; ++row) {
                const int32_t y = top + row;
                if (y < 0 || y >= m_height) continue;
                const uint8_t* levels = glyph.levels.data() + size_t(row) * size_t(glyph.pitch);
                for (int32_t col = 0; col < glyph.width && x0 + col < m_width; ++col) {
                    const int32_t t = levels[col];
                    if (t >= 1 && t <= 64) pixels[int64_t(y) * stride + x0 + col] |= uint32_t(4 * t - 1) << 24;
                }
            }
        }
        pen += glyph.advance;
    }
    m_image = target;
}

void TextSprite::paint(Graphics* surface) {
    if (!m_paintVisible || surface == nullptr || !m_font->metrics) return;
    const FontMetrics* metrics = m_font->metrics.get();
    const int32_t l = left();
    surface->setFont(m_font->font.get());
    const int32_t b = m_y - metrics->getDescent();
    if (!m_text.isEmpty()) {
        if (m_image) {
            if (m_boxed) {
                surface->setColor(Color::fromArgb(m_colour2));
                surface->fillRect(getBounds().x, m_bounds.y, m_bounds.width, m_bounds.height);
            }
            surface->drawImage(m_image.get(), l, m_y - metrics->getHeight());
        } else {
            if (m_outline) {
                surface->setColor(Color::fromArgb(m_colour2));
                surface->drawString(m_text, l + 2, b + 2);
                surface->drawString(m_text, l, b + 2);
                surface->drawString(m_text, l + 2, b);
                surface->drawString(m_text, l, b);
            } else if (m_boxed) {
                surface->setColor(Color::fromArgb(m_colour2));
                surface->fillRect(getBounds().x, m_bounds.y, m_bounds.width, m_bounds.height);
            }
            surface->setColor(Color::fromArgb(m_colour));
            surface->drawString(m_text, l + 1, b + 1);
        }
    }
    if (m_caretEnabled && m_caretPhase) {
        surface->setColor(Color::fromArgb(m_colour));
        surface->drawString(String("|"), l + m_width - 3, b);
    }
}


} // namespace mph
