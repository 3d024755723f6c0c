// GraphicsW: clipping, copies and fills on a window picture, and the cairo text and path operations.
#include "gfx/GraphicsW.h"

#include "gfx/Blitter.h"
#include "gfx/CairoTarget.h"
#include "gfx/Font.h"
#include "gfx/Image.h"
#include "gfx/Region.h"
#include "gfx/WindowSurface.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>
#include <utility>

namespace mph {

namespace {

void setSource(cairo_t* cr, uint32_t argb) {
    // Like the platform's pens and brushes, drawing colours are opaque whatever their alpha byte says.
    cairo_set_source_rgb(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0);
}

lang::Rectangle boundsOf(const double* xs, const double* ys, int32_t count) {
    double x0 = xs[0], x1 = xs[0], y0 = ys[0], y1 = ys[0];
    for (int32_t i = 1; i < count; ++i) {
        x0 = std::min(x0, xs[i]);
        x1 = std::max(x1, xs[i]);
        y0 = std::min(y0, ys[i]);
        y1 = std::max(y1, ys[i]);
    }
    const double lim = 1 << 29;
    x0 = std::clamp(x0, -lim, lim);
    x1 = std::clamp(x1, -lim, lim);
    y0 = std::clamp(y0, -lim, lim);
    y1 = std::clamp(y1, -lim, lim);
    const int32_t l = int32_t(std::floor(x0)) - 1, t = int32_t(std::floor(y0)) - 1;
    return {l, t, int32_t(std::ceil(x1)) + 2 - l, int32_t(std::ceil(y1)) + 2 - t};
}

} // namespace

GraphicsW::GraphicsW(WindowSurface* surface) : m_surface(surface) {
    if (m_surface) m_surface->addRef();
}

GraphicsW::~GraphicsW() {
    if (m_region) cairo_region_destroy(m_region);
    if (m_surface) m_surface->release();
}

Image* GraphicsW::lockTarget() {
    if (m_surface == nullptr) return nullptr;
    m_surface->lock();
    return m_surface->picture();
}

void GraphicsW::unlockTarget(const lang::Rectangle& changed) {
    if (m_surface == nullptr) return;
    if (!changed.isEmpty()) m_surface->pictureChanged(changed);
    m_surface->unlock();
}

cairo_region_t* GraphicsW::effectiveClip(const Image* target) const {
    lang::Rectangle r = m_clip;
    r.intersectWith(lang::Rectangle(0, 0, target ? target->getWidth() : 0, target ? target->getHeight() : 0));
    const cairo_rectangle_int_t c{r.x, r.y, r.width, r.height};
    cairo_region_t* region = cairo_region_create_rectangle(&c);
    if (m_region) cairo_region_intersect(region, m_region);
    return region;
}

bool GraphicsW::pointInClip(int32_t x, int32_t y) const {
    return m_clip.contains(x, y) && (m_region == nullptr || cairo_region_contains_point(m_region, x, y));
}

void GraphicsW::clipRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    const lang::Rectangle r(x + m_translateX, y + m_translateY, std::max(0, w), std::max(0, h));
    m_clip.intersectWith(r);
    if (m_region) {
        const cairo_rectangle_int_t c{r.x, r.y, r.width, r.height};
        cairo_region_intersect_rectangle(m_region, &c);
    }
}

void GraphicsW::excludeClipRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (w <= 0 || h <= 0) return;
    if (m_region == nullptr) {
        const cairo_rectangle_int_t c{m_clip.x, m_clip.y, m_clip.width, m_clip.height};
        m_region = cairo_region_create_rectangle(&c);
    }
    const cairo_rectangle_int_t c{x + m_translateX, y + m_translateY, w, h};
    cairo_region_subtract_rectangle(m_region, &c);
}

void GraphicsW::setClip(const Region* region) {
    // Selecting a region replaces the whole clip of a window surface.
    m_clip = lang::Rectangle(-(1 << 29), -(1 << 29), 1 << 30, 1 << 30);
    if (m_region) cairo_region_destroy(m_region);
    m_region = region && region->handle() ? cairo_region_copy(region->handle()) : nullptr;
}

Region* GraphicsW::getClip() {
    TargetGuard guard(this);
    return new Region(effectiveClip(guard.image()));
}

void GraphicsW::getClipBounds(lang::Rectangle& out) {
    TargetGuard guard(this);
    cairo_region_t* clip = effectiveClip(guard.image());
    cairo_rectangle_int_t e;
    cairo_region_get_extents(clip, &e);
    cairo_region_destroy(clip);
    out.setBounds(e.x, e.y, e.width, e.height);
}

void GraphicsW::copyStateTo(GraphicsW& sub) const {
    sub.m_translateX = m_translateX;
    sub.m_translateY = m_translateY;
    sub.m_clip = m_clip;
    sub.m_region = m_region ? cairo_region_copy(m_region) : nullptr;
}

Graphics* GraphicsW::create() {
    auto* sub = new GraphicsW(m_surface);
    copyStateTo(*sub);
    return sub;
}

void GraphicsW::dispose() {
    Graphics::dispose();
    if (m_surface) m_surface->release();
    m_surface = nullptr;
}

bool GraphicsW::drawImage(Image* image, int32_t x, int32_t y) {
    if (image == nullptr || !image->hasPixels()) return false;
    TargetGuard guard(this);
    Image* target = guard.image();
    if (target == nullptr || !target->hasPixels() || target == image) return true;
    Blitter b;
    b.src = std::as_const(*image).getPixels();
    b.srcWidth = image->getWidth();
    b.srcHeight = image->getHeight();
    b.srcStride = image->getStride() / 4;
    x += m_translateX;
    y += m_translateY;
    const lang::Rectangle extents = blitClipped(target, b, [&](Blitter& clipped) { clipped.copy(x, y); });
    guard.changed = lang::Rectangle(x, y, image->getWidth(), image->getHeight());
    guard.changed.intersectWith(extents);
    return true;
}

void GraphicsW::fillRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    TargetGuard guard(this);
    Image* target = guard.image();
    if (target == nullptr || !target->hasPixels()) return;
    Blitter b;
    x += m_translateX;
    y += m_translateY;
    const uint32_t argb = 0xFF000000u | (m_color & 0xFFFFFF);
    const lang::Rectangle extents =
        blitClipped(target, b, [&](Blitter& clipped) { clipped.fill(x, y, w, h, argb); });
    guard.changed = lang::Rectangle(x, y, std::max(0, w), std::max(0, h));
    guard.changed.intersectWith(extents);
}

Font* GraphicsW::currentFont() {
    if (m_font) return m_font;
    // Like a fresh device context, a surface without a font still writes text, in the default face.
    static Font* fallback = new Font(lang::String("Arial"), 0, 12);
    return fallback;
}

void GraphicsW::drawText(Image* target, const cairo_region_t* clip, const char* chars, int32_t length, int32_t x,
                         int32_t y, lang::Rectangle& changed) {
    Font* font = currentFont();
    if (length <= 0 || font->cairoFace() == nullptr) return;
    const FontSizeData& data = font->sizeData();
    int32_t width = 0;
    for (int32_t i = 0; i < length; ++i) width += data.advance[static_cast<uint8_t>(chars[i])];
    // Glyph ink may reach beyond the advances (overhangs, italics), so the area is padded.
    const int32_t pad = font->getSize() / 2 + 2;
    const lang::Rectangle area(x - pad, y - data.ascent - pad, width + 2 * pad, data.ascent + data.descent + 2 * pad);
    CairoTarget ct(target, clip, area);
    cairo_t* cr = ct.cr();
    if (cr == nullptr) return;
    setSource(cr, m_color);
    cairo_set_font_face(cr, font->cairoFace());
    cairo_set_font_size(cr, font->getSize());
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, isFontSmoothingOn() ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    // Glyphs sit at the pen positions the metrics give, so drawn text matches measured text exactly.
    std::vector<cairo_glyph_t> glyphs(static_cast<size_t>(length));
    int32_t pen = x;
    for (int32_t i = 0; i < length; ++i) {
        const auto c = static_cast<uint8_t>(chars[i]);
        glyphs[i] = cairo_glyph_t{data.glyph[c], double(pen), double(y)};
        pen += data.advance[c];
    }
    cairo_show_glyphs(cr, glyphs.data(), length);
    if (font->getStyle() & Font::kUnderline) {
        cairo_rectangle(cr, x, y + data.underlineOffset, width, data.underlineThickness);
        cairo_fill(cr);
    }
    changed = ct.area();
}

void GraphicsW::drawString(const lang::String& text, int32_t x, int32_t y) {
    drawChars(text.c_str(), 0, text.length(), x, y);
}

void GraphicsW::drawChars(const char* chars, int32_t offset, int32_t length, int32_t x, int32_t y) {
    if (chars == nullptr || length <= 0 || offset < 0) return;
    TargetGuard guard(this);
    cairo_region_t* clip = effectiveClip(guard.image());
    drawText(guard.image(), clip, chars + offset, length, x + m_translateX, y + m_translateY, guard.changed);
    cairo_region_destroy(clip);
}

void GraphicsW::drawStringInRect(const lang::String& text, const lang::Rectangle& rect) {
    if (text.isEmpty() || rect.isEmpty()) return;
    Font* font = currentFont();
    const FontSizeData& data = font->sizeData();
    auto width = [&data](std::string_view s) {
        int32_t w = 0;
        for (char c : s) w += data.advance[static_cast<uint8_t>(c)];
        return w;
    };
    TargetGuard guard(this);
    const lang::Rectangle box(rect.x + m_translateX, rect.y + m_translateY, rect.width, rect.height);
    cairo_region_t* clip = effectiveClip(guard.image());
    const cairo_rectangle_int_t c{box.x, box.y, box.width, box.height};
    cairo_region_intersect_rectangle(clip, &c);
    const std::string_view all = text.view();
    int32_t baseline = box.y + data.ascent;
    size_t start = 0;
    while (start <= all.size() && baseline - data.ascent < box.y + box.height) {
        size_t end = all.find('\n', start);
        if (end == std::string_view::npos) end = all.size();
        std::string line(all.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (width(line) > box.width) {
            // Whole words are dropped from the end until the rest and "..." fit; a first word that is
            // too long on its own is cut between characters.
            std::string kept = line;
            while (!kept.empty() && width(kept) + width("...") > box.width) {
                const size_t space = kept.find_last_of(' ');
                if (space == std::string::npos || space == 0) {
                    kept.pop_back();
                } else {
                    kept.resize(space);
                    while (!kept.empty() && kept.back() == ' ') kept.pop_back();
                }
            }
            line = kept + "...";
        }
        lang::Rectangle changed;
        drawText(guard.image(), clip, line.data(), int32_t(line.size()), box.x, baseline, changed);
        if (!changed.isEmpty()) {
            if (guard.changed.isEmpty()) guard.changed = changed;
            else guard.changed.unionWith(changed);
        }
        baseline += data.ascent + data.descent;
        start = end + 1;
    }
    cairo_region_destroy(clip);
}

void GraphicsW::drawPath(const double* xs, const double* ys, int32_t count, PathMode mode, uint32_t argb) {
    if (count < 2) return;
    TargetGuard guard(this);
    cairo_region_t* clip = effectiveClip(guard.image());
    CairoTarget ct(guard.image(), clip, boundsOf(xs, ys, count));
    cairo_region_destroy(clip);
    cairo_t* cr = ct.cr();
    if (cr == nullptr) return;
    // Outlines and fills are aliased like the platform's, with the pen centred on the pixels.
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    setSource(cr, argb);
    const double half = mode == PathMode::kFilled ? 0.0 : 0.5;
    cairo_move_to(cr, xs[0] + half, ys[0] + half);
    for (int32_t i = 1; i < count; ++i) cairo_line_to(cr, xs[i] + half, ys[i] + half);
    if (mode == PathMode::kFilled) {
        cairo_close_path(cr);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(cr);
    } else {
        if (mode == PathMode::kClosed) cairo_close_path(cr);
        cairo_set_line_width(cr, 1.0);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
        cairo_stroke(cr);
    }
    guard.changed = ct.area();
}

void GraphicsW::drawPolygon(const int32_t* xs, const int32_t* ys, int32_t count) {
    if (xs == nullptr || ys == nullptr || count < 2) return;
    std::vector<double> px(xs, xs + count), py(ys, ys + count);
    drawPath(px.data(), py.data(), count, PathMode::kClosed, m_color);
}

void GraphicsW::fillPolygon(const int32_t* xs, const int32_t* ys, int32_t count) {
    if (xs == nullptr || ys == nullptr || count < 3) return;
    std::vector<double> px(xs, xs + count), py(ys, ys + count);
    drawPath(px.data(), py.data(), count, PathMode::kFilled, m_color);
}

namespace {

// The point of the Bernstein polynomial of the control points at t.
void bezierPoint(const int32_t* points, int32_t count, double t, double& x, double& y) {
    const int32_t n = count - 1;
    x = y = 0;
    double binom = 1;
    for (int32_t i = 0; i <= n; ++i) {
        const double w = binom * std::pow(t, i) * std::pow(1 - t, n - i);
        x += w * points[2 * i];
        y += w * points[2 * i + 1];
        binom = binom * (n - i) / (i + 1);
    }
}

} // namespace

void GraphicsW::drawBezier(const int32_t* points, int32_t count, int32_t x, int32_t y, double scale) {
    if (points == nullptr || count < 1 || count > 64) return;
    std::vector<double> px, py;
    const double ox = scale * x + m_translateX, oy = scale * y + m_translateY;
    for (int step = 0; step < 50; ++step) {
        double bx, by;
        bezierPoint(points, count, step / 50.0, bx, by);
        px.push_back(scale * bx + ox);
        py.push_back(scale * by + oy);
    }
    px.push_back(scale * points[2 * (count - 1)] + ox);
    py.push_back(scale * points[2 * (count - 1) + 1] + oy);
    drawPath(px.data(), py.data(), int32_t(px.size()), PathMode::kOpen, m_color);
}

void GraphicsW::fillBezier(const int32_t* points, int32_t count, double scale) {
    if (points == nullptr || count < 1 || count > 64) return;
    std::vector<double> px, py;
    for (int step = 0; step < 50; ++step) {
        double bx, by;
        bezierPoint(points, count, step / 50.0, bx, by);
        px.push_back(scale * bx + m_translateX);
        py.push_back(scale * by + m_translateY);
    }
    // The fill always uses the stock black brush, not the current colour.
    drawPath(px.data(), py.data(), int32_t(px.size()), PathMode::kFilled, 0xFF000000u);
}

} // namespace mph
