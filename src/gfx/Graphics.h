// Graphics: the drawing surface every paint routine receives, with its operations in their fixed order.
#pragma once

#include "runtime/Color.h"
#include "runtime/Rectangle.h"
#include "runtime/String.h"

#include <cstdint>

namespace mph {

class FancyHelper;
class Font;
class Image;
class Region;

// Coordinates are surface coordinates, to which the translation is added, except polygon points, which are
// used as they are. Clip regions are in target pixels.
class Graphics : public lang::Object {
    LANG_CLASS(Graphics, Object)

public:
    ~Graphics() override;

    virtual bool drawImage(Image* image, int32_t x, int32_t y) = 0;
    virtual bool drawShadow(Image* image, int32_t x, int32_t y) = 0;
    virtual void drawPixel(int32_t x, int32_t y) = 0;
    virtual void blendPixel(int32_t x, int32_t y, uint32_t argb) = 0;
    virtual uint32_t getPixel(int32_t x, int32_t y) = 0;
    // 0 normal, 1 additive; returns the previous mode.
    virtual int32_t setPaintMode(int32_t mode);
    virtual void clipRect(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
    virtual void excludeClipRect(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
    // Replaces the clip region; null removes it.
    virtual void setClip(const Region* region) = 0;
    // The current clip as a new region the caller releases.
    virtual Region* getClip() = 0;
    virtual void getClipBounds(lang::Rectangle& out) = 0;
    // A sub-surface the caller releases.
    virtual Graphics* create() = 0;
    virtual void dispose();
    virtual void fillRect(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
    virtual void setColor(const lang::Color& color) { m_color = color.getValue(); }
    // Text with its baseline at y, in the current colour, with a transparent background.
    virtual void drawString(const lang::String& text, int32_t x, int32_t y) = 0;
    virtual void drawChars(const char* chars, int32_t offset, int32_t length, int32_t x, int32_t y) = 0;
    virtual void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    virtual void drawPolygon(const int32_t* xs, const int32_t* ys, int32_t count) = 0;
    virtual void fillPolygon(const int32_t* xs, const int32_t* ys, int32_t count) = 0;
    // Top-left aligned text, words that do not fit replaced by an ellipsis, cut at the rectangle.
    virtual void drawStringInRect(const lang::String& text, const lang::Rectangle& rect) = 0;
    virtual void setFont(Font* font);
    // points: count (x, y) pairs.
    virtual void drawBezier(const int32_t* points, int32_t count, int32_t x, int32_t y, double scale) = 0;
    virtual void fillBezier(const int32_t* points, int32_t count, double scale) = 0;
    virtual void getTranslation(int32_t& x, int32_t& y) const {
        x = m_translateX;
        y = m_translateY;
    }
    virtual void translate(int32_t dx, int32_t dy) {
        m_translateX += dx;
        m_translateY += dy;
    }
    virtual FancyHelper* getFancyHelper() { return nullptr; }

    uint32_t getColorValue() const { return m_color; }
    Font* getFont() const { return m_font; }
    int32_t getPaintMode() const { return m_paintMode; }

protected:
    Graphics() = default;

    uint32_t m_color = 0;
    Font* m_font = nullptr; // retained
    int32_t m_translateX = 0;
    int32_t m_translateY = 0;
    int32_t m_paintMode = 0;
};

} // namespace mph
