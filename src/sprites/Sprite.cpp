// Sprite: positions, visibility, clipping, the dirty-rectangle protocol and plain image painting.
#include "sprites/Sprite.h"

#include "gfx/Image.h"
#include "runtime/SyncGuard.h"
#include "sprites/ImagePixels.h"
#include "sprites/SpriteClasses.h"

using namespace lang;

namespace mph {

namespace {
ClassRecord<Sprite> spriteRecord("Sprite");
} // namespace

const Class& SpriteClasses::sprite() { return spriteRecord; }

Image* definitionImage(const ObjectArray& images, int32_t i) {
    if (i < 0 || i >= images.length || images.data == nullptr) return nullptr;
    Object* obj = images.data[i];
    if (obj == nullptr || !obj->instanceOf("Image")) return nullptr;
    return static_cast<Image*>(obj);
}

Sprite::Sprite() = default;
Sprite::~Sprite() = default;

bool Sprite::initFromDefinition(const ObjectArray& images, const IntArray& params) {
    if (params.length < 2) return false;
    setImage(definitionImage(images, 0));
    setLocation(params[0], params[1]);
    return true;
}

void Sprite::mergeRect(Rectangle& target, const Rectangle& r) {
    if (target.width != 0 && target.height != 0) {
        target.unionWith(r);
    } else {
        target = r;
    }
}

void Sprite::addDirty(const Rectangle& r) {
    if (r.width <= 0 || r.height <= 0) return;
    SyncGuard guard(&m_dirtyRect);
    mergeRect(m_dirtyRect, r);
    m_dirty = true;
}

void Sprite::invalidate() {
    if (!isVisible()) return;
    Rectangle& bounds = getBounds();
    if (bounds.width > 0) addDirty(bounds);
}

Rectangle& Sprite::getBounds() {
    if (m_width != -1 && m_height != -1) {
        m_bounds.setBounds(m_x, m_y, m_width, m_height);
        if (m_clip) m_bounds.intersectWith(*m_clip);
    } else {
        m_bounds.setBounds(m_x, m_y, 0, 0);
    }
    return m_bounds;
}

bool Sprite::collectDirty(Rectangle& rect) {
    if (!m_dirty) return false;
    SyncGuard guard(&m_dirtyRect);
    m_dirty = false;
    mergeRect(rect, m_dirtyRect);
    m_dirtyRect.setBounds(0, 0, 0, 0);
    return true;
}

bool Sprite::step(int32_t, Rectangle& rect) {
    m_paintVisible = m_visible;
    return collectDirty(rect);
}

bool Sprite::update(int32_t tick, Rectangle& rect, Region* region) {
    const bool result = step(tick, rect);
    if (result) addToRegion(region, rect);
    return result;
}

void Sprite::setLocation(int32_t x, int32_t y) {
    invalidate();
    m_x = x;
    m_y = y;
    invalidate();
}

void Sprite::moveBy(int32_t dx, int32_t dy) {
    invalidate();
    m_x += dx;
    m_y += dy;
    invalidate();
}

void Sprite::setVisible(bool visible) {
    if (visible == m_visible) return;
    invalidate();
    m_visible = visible;
    invalidate();
}

bool Sprite::contains(int32_t px, int32_t py) {
    return px >= m_bounds.x && py >= m_bounds.y && px < m_bounds.x + m_bounds.width &&
           py < m_bounds.y + m_bounds.height;
}

void Sprite::setUserValue(int32_t value) {
    invalidate();
    m_userValue = value;
    invalidate();
}

void Sprite::copyInto(Sprite& other) const {
    other.m_paintVisible = m_paintVisible;
    other.m_visible = m_visible;
    other.m_width = m_width;
    other.m_height = m_height;
    other.m_image = m_image;
    if (m_clip) other.m_clip = make<Rectangle>(*m_clip);
    if (m_exclusion) other.m_exclusion = make<Rectangle>(*m_exclusion);
}

Sprite* Sprite::clone() const {
    auto* copy = new Sprite();
    copyInto(*copy);
    return copy;
}

void Sprite::setClip(const Rectangle* clip) {
    invalidate();
    if (clip) {
        if (m_clip) {
            *m_clip = *clip;
        } else {
            m_clip = make<Rectangle>(*clip);
        }
    } else {
        m_clip = nullptr;
    }
    invalidate();
}

void Sprite::setExclusion(const Rectangle* exclusion) {
    if (exclusion) {
        if (m_exclusion) {
            *m_exclusion = *exclusion;
        } else {
            m_exclusion = make<Rectangle>(*exclusion);
        }
    } else {
        m_exclusion = nullptr;
    }
}

void Sprite::setImage(Image* image) {
    invalidate();
    m_image = retain(image);
    if (image) {
        m_width = image->getWidth();
        m_height = image->getHeight();
    }
    invalidate();
}

namespace {

// The alpha byte of pixel (u, v), or -1 when the image has no such pixel.
int32_t alphaAt(const Image* image, int32_t u, int32_t v) {
    if (image == nullptr || !image->hasPixels()) return -1;
    if (u < 0 || v < 0 || u >= image->getWidth() || v >= image->getHeight()) return -1;
    const int32_t stride = image->getStride() / 4;
    return static_cast<int32_t>(image->getPixels()[int64_t(v) * stride + u] >> 24);
}

} // namespace

bool Sprite::hitOpaque(int32_t px, int32_t py) { return alphaAt(m_image.get(), px - m_x, py - m_y) > 0; }

bool Sprite::findOpaqueEdge(int32_t& x, int32_t& y, char side, int32_t threshold) {
    const Image* image = m_image.get();
    if (image == nullptr || !image->hasPixels()) return false;
    const int32_t w = image->getWidth();
    const int32_t h = image->getHeight();
    const int32_t column = x - getX();
    const int32_t row = y - getY();
    switch (side) {
    case 'T':
        for (int32_t v = 0; v < h; ++v) {
            if (alphaAt(image, column, v) >= threshold && alphaAt(image, column, v) >= 0) {
                y = v + getY();
                return true;
            }
        }
        return false;
    case 'B':
        for (int32_t v = h - 1; v >= 0; --v) {
            if (alphaAt(image, column, v) >= threshold && alphaAt(image, column, v) >= 0) {
                y = v + getY();
                return true;
            }
        }
        return false;
    case 'L':
        for (int32_t u = 0; u < w; ++u) {
            if (alphaAt(image, u, row) >= threshold && alphaAt(image, u, row) >= 0) {
                x = u + getX();
                return true;
            }
        }
        return false;
    case 'R':
        for (int32_t u = w - 1; u >= 0; --u) {
            if (alphaAt(image, u, row) >= threshold && alphaAt(image, u, row) >= 0) {
                x = u + getX();
                return true;
            }
        }
        return false;
    default:
        return false;
    }
}

FancyHelper& Sprite::fancyHelper() {
    if (!m_fancy) m_fancy = lang::make<FancyHelper>();
    return *m_fancy;
}

void Sprite::setTint(int32_t opacity, int32_t red, int32_t green, int32_t blue) {
    FancyHelper& blend = fancyHelper();
    blend.opacity = opacity;
    blend.redScale = red;
    blend.greenScale = green;
    blend.blueScale = blue;
    invalidate();
}

void Sprite::setShadow(int32_t dx, int32_t dy, bool on) {
    FancyHelper& blend = fancyHelper();
    blend.shadowDX = dx;
    blend.shadowDY = dy;
    blend.shadowOn = on;
}

int32_t Sprite::getOpacity() { return fancyHelper().opacity; }

void Sprite::unloadImage() { releaseImagePixels(m_image.get()); }

void Sprite::reloadImage() { restoreImagePixels(m_image.get()); }

} // namespace mph
