// GraphicsW: a drawing surface over a window's picture; also the cairo-backed operations all surfaces share.
#pragma once

#include "gfx/Blitter.h"
#include "gfx/Graphics.h"
#include "gfx/Image.h"

#include <cairo.h>

namespace mph {

class WindowSurface;

class GraphicsW : public Graphics {
    LANG_CLASS(GraphicsW, Graphics)

public:
    // Draws into the surface's picture under its lock; the surface is retained.
    explicit GraphicsW(WindowSurface* surface);
    ~GraphicsW() override;

    // A plain copy of the image's pixels (no blending); false when the image has no pixels.
    bool drawImage(Image* image, int32_t x, int32_t y) override;
    bool drawShadow(Image*, int32_t, int32_t) override { return false; }
    void drawPixel(int32_t x, int32_t y) override { blendPixel(x, y, m_color); }
    // A window picture is not blended into pixel by pixel.
    void blendPixel(int32_t, int32_t, uint32_t) override {}
    uint32_t getPixel(int32_t, int32_t) override { return 0; }
    void clipRect(int32_t x, int32_t y, int32_t w, int32_t h) override;
    void excludeClipRect(int32_t x, int32_t y, int32_t w, int32_t h) override;
    void setClip(const Region* region) override;
    Region* getClip() override;
    void getClipBounds(lang::Rectangle& out) override;
    Graphics* create() override;
    void dispose() override;
    // An opaque fill in the current colour (its alpha is not used).
    void fillRect(int32_t x, int32_t y, int32_t w, int32_t h) override;
    void drawString(const lang::String& text, int32_t x, int32_t y) override;
    void drawChars(const char* chars, int32_t offset, int32_t length, int32_t x, int32_t y) override;
    void drawPolygon(const int32_t* xs, const int32_t* ys, int32_t count) override;
    void fillPolygon(const int32_t* xs, const int32_t* ys, int32_t count) override;
    void drawStringInRect(const lang::String& text, const lang::Rectangle& rect) override;
    void drawBezier(const int32_t* points, int32_t count, int32_t x, int32_t y, double scale) override;
    void fillBezier(const int32_t* points, int32_t count, double scale) override;

protected:
    GraphicsW() = default;

    // The picture drawn into: locks the window's surface (a GraphicsI has nothing to lock).
    virtual Image* lockTarget();
    // Releases the target after drawing, reporting the area that changed (may be empty).
    virtual void unlockTarget(const lang::Rectangle& changed);

    // Holds the target for one operation.
    class TargetGuard {
    public:
        explicit TargetGuard(GraphicsW* g) : m_g(g), m_image(g->lockTarget()) {}
        ~TargetGuard() { m_g->unlockTarget(changed); }
        TargetGuard(const TargetGuard&) = delete;
        TargetGuard& operator=(const TargetGuard&) = delete;
        Image* image() const { return m_image; }
        lang::Rectangle changed;

    private:
        GraphicsW* m_g;
        Image* m_image;
    };

    // The clip in target pixels as a new region (the clip rectangle, the clip region and the target's
    // bounds together); the caller destroys it.
    cairo_region_t* effectiveClip(const Image* target) const;
    // Runs draw once per rectangle of the effective clip over target, with the blitter aimed at target and
    // clipped to that rectangle; returns the clip's extents.
    template <class Draw> lang::Rectangle blitClipped(Image* target, Blitter& b, Draw draw) const {
        b.dst = target->getPixels();
        b.dstWidth = target->getWidth();
        b.dstHeight = target->getHeight();
        b.dstStride = target->getStride() / 4;
        cairo_region_t* clip = effectiveClip(target);
        for (int i = 0; i < cairo_region_num_rectangles(clip); ++i) {
            cairo_rectangle_int_t r;
            cairo_region_get_rectangle(clip, i, &r);
            b.clipX = r.x, b.clipY = r.y, b.clipW = r.width, b.clipH = r.height;
            draw(b);
        }
        cairo_rectangle_int_t e;
        cairo_region_get_extents(clip, &e);
        cairo_region_destroy(clip);
        return lang::Rectangle(e.x, e.y, e.width, e.height);
    }
    bool pointInClip(int32_t x, int32_t y) const;
    // Copies translation and clip into a new sub-surface.
    void copyStateTo(GraphicsW& sub) const;
    // Text of one line with its baseline at (x, y) in target pixels.
    void drawText(Image* target, const cairo_region_t* clip, const char* chars, int32_t length, int32_t x, int32_t y,
                  lang::Rectangle& changed);
    enum class PathMode { kOpen, kClosed, kFilled };
    // Strokes with a 1-pixel pen or fills (even-odd) a path of points in target pixels, in colour argb.
    void drawPath(const double* xs, const double* ys, int32_t count, PathMode mode, uint32_t argb);
    Font* currentFont();

    WindowSurface* m_surface = nullptr; // retained
    lang::Rectangle m_clip{-(1 << 29), -(1 << 29), 1 << 30, 1 << 30};
    cairo_region_t* m_region = nullptr; // owned; null means no clip region
};

} // namespace mph
