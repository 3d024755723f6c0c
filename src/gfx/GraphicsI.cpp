// GraphicsI: image blits, shadows, fills and pixel access on an image's pixels.
#include "gfx/GraphicsI.h"

#include "gfx/Blitter.h"
#include "gfx/FancyHelper.h"
#include "gfx/Image.h"
#include "gfx/Region.h"

#include <cairo.h>

#include <vector>
#include <utility>

namespace mph {

GraphicsI::GraphicsI(Image* image) : m_image(image) {
    if (m_image) {
        m_image->addRef();
        m_clip = lang::Rectangle(0, 0, m_image->getWidth(), m_image->getHeight());
    } else {
        m_clip = lang::Rectangle();
    }
}

GraphicsI::~GraphicsI() {
    if (m_blend) m_blend->release();
    if (m_image) m_image->release();
}

FancyHelper* GraphicsI::getFancyHelper() {
    if (m_blend == nullptr) m_blend = new FancyHelper();
    return m_blend;
}

template <class Fn> void GraphicsI::forEachClipRect(Fn fn) {
    if (m_image == nullptr || !m_image->hasPixels()) return;
    Blitter b;
    if (m_region == nullptr) {
        b.dst = m_image->getPixels();
        b.dstWidth = m_image->getWidth();
        b.dstHeight = m_image->getHeight();
        b.dstStride = m_image->getStride() / 4;
        b.clipX = m_clip.x, b.clipY = m_clip.y, b.clipW = m_clip.width, b.clipH = m_clip.height;
        fn(b);
        return;
    }
    // A clip region limits the software drawing too: one pass per rectangle of it.
    blitClipped(m_image, b, fn);
}

bool GraphicsI::drawImage(Image* image, int32_t x, int32_t y) {
    if (image == nullptr || !image->hasPixels()) return false;
    if (m_image == nullptr || !m_image->hasPixels()) return true;
    x += m_translateX;
    y += m_translateY;
    // Drawing an image onto itself reads from a snapshot, so no pixel is read after it was written.
    std::vector<uint32_t> snapshot;
    const uint32_t* src = std::as_const(*image).getPixels();
    const int32_t srcStride = image->getStride() / 4;
    if (image == m_image) {
        snapshot.assign(src, src + size_t(srcStride) * size_t(image->getHeight()));
        src = snapshot.data();
    }
    if (!image->getAlphaFlag() && image->hasBitmap() && m_image->hasBitmap() && m_paintMode != 1) {
        forEachClipRect([&](Blitter& b) {
            b.src = src;
            b.srcWidth = image->getWidth();
            b.srcHeight = image->getHeight();
            b.srcStride = srcStride;
            b.copy(x, y);
        });
        return true;
    }
    FancyHelper* p = getFancyHelper();
    p->srcPixels = src;
    p->srcWidth = image->getWidth();
    p->srcHeight = image->getHeight();
    p->srcStride = srcStride;
    const bool keep = m_image->getAlphaFlag();
    const bool additive = m_paintMode == 1;
    forEachClipRect([&](Blitter& b) {
        b.src = p->srcPixels;
        b.srcWidth = p->srcWidth;
        b.srcHeight = p->srcHeight;
        b.srcStride = p->srcStride;
        b.opacity = p->opacity;
        b.redScale = p->redScale;
        b.greenScale = p->greenScale;
        b.blueScale = p->blueScale;
        b.keepTransparency = keep;
        if (b.opacity <= 0) return;
        if (p->shadowOn) b.shadow(x + p->shadowDX, y + p->shadowDY);
        b.blend(x, y, additive);
    });
    // The source fields point into the image only for the duration of the draw.
    p->srcPixels = nullptr;
    return true;
}

bool GraphicsI::drawShadow(Image* image, int32_t x, int32_t y) {
    if (image == nullptr || !image->hasPixels()) return false;
    if (image == m_image) return true; // a picture's shadow on itself would darken what it reads
    FancyHelper* p = getFancyHelper();
    forEachClipRect([&](Blitter& b) {
        b.src = std::as_const(*image).getPixels();
        b.srcWidth = image->getWidth();
        b.srcHeight = image->getHeight();
        b.srcStride = image->getStride() / 4;
        b.opacity = p->opacity;
        b.shadow(x + m_translateX, y + m_translateY);
    });
    return true;
}

void GraphicsI::drawPixel(int32_t x, int32_t y) {
    x += m_translateX;
    y += m_translateY;
    if (m_image == nullptr || !m_image->hasPixels() || x < 0 || y < 0 || x >= m_image->getWidth() ||
        y >= m_image->getHeight() || !pointInClip(x, y))
        return;
    m_image->getPixels()[size_t(y) * size_t(m_image->getStride() / 4) + x] = m_color;
}

void GraphicsI::blendPixel(int32_t x, int32_t y, uint32_t argb) {
    x += m_translateX;
    y += m_translateY;
    if (m_image == nullptr || !m_image->hasPixels() || x < 0 || y < 0 || x >= m_image->getWidth() ||
        y >= m_image->getHeight() || !pointInClip(x, y))
        return;
    uint32_t& d = m_image->getPixels()[size_t(y) * size_t(m_image->getStride() / 4) + x];
    const uint32_t k = argb >> 24;
    if (k == 255) {
        d = argb;
        return;
    }
    auto ch = [&](int shift) { return ((((argb >> shift) & 0xFF) * k + ((d >> shift) & 0xFF) * (256 - k)) >> 8) << shift; };
    d = 0xFF000000u | ch(16) | ch(8) | ch(0);
}

uint32_t GraphicsI::getPixel(int32_t x, int32_t y) {
    x += m_translateX;
    y += m_translateY;
    if (m_image == nullptr || !m_image->hasPixels() || x < 0 || y < 0 || x >= m_image->getWidth() ||
        y >= m_image->getHeight())
        return 0;
    return std::as_const(*m_image).getPixels()[size_t(y) * size_t(m_image->getStride() / 4) + x];
}

void GraphicsI::fillRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    const FancyHelper* p = getFancyHelper();
    const uint32_t value = 0xFF000000u | Blitter::tint((m_color >> 16) & 0xFF, p->redScale) << 16 |
                           Blitter::tint((m_color >> 8) & 0xFF, p->greenScale) << 8 |
                           Blitter::tint(m_color & 0xFF, p->blueScale);
    forEachClipRect([&](Blitter& b) { b.fill(x + m_translateX, y + m_translateY, w, h, value); });
}

void GraphicsI::setClip(const Region* region) {
    if (m_region) cairo_region_destroy(m_region);
    m_region = region && region->handle() ? cairo_region_copy(region->handle()) : nullptr;
}

Graphics* GraphicsI::create() {
    auto* sub = new GraphicsI(m_image);
    sub->m_blend = getFancyHelper();
    sub->m_blend->addRef();
    copyStateTo(*sub);
    return sub;
}

void GraphicsI::dispose() {
    GraphicsW::dispose();
    if (m_blend) m_blend->release();
    m_blend = nullptr;
    if (m_image) m_image->release();
    m_image = nullptr;
}

} // namespace mph
