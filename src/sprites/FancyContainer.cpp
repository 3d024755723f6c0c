// FancyContainer: children, local dirty areas, fading out and clipped painting.
#include "sprites/FancyContainer.h"

#include "gfx/Image.h"
#include "sprites/DataLoader.h"
#include "runtime/SyncGuard.h"
#include "sprites/PaintSupport.h"
#include "sprites/SpriteClasses.h"

#include <algorithm>
#include <cstdint>

using namespace lang;

namespace mph {

namespace {
ClassRecord<FancyContainer> containerRecord("FancyContainer");

// Strict overlap of two rectangles, as painting decides which children to draw.
bool overlaps(const Rectangle& a, const Rectangle& b) {
    return a.x < int64_t(b.x) + b.width && b.x < int64_t(a.x) + a.width && a.y < int64_t(b.y) + b.height &&
           b.y < int64_t(a.y) + a.height;
}

// A rectangle of the container's own coordinates in its parent's: moved by the container's corner, the
// corner held to the coordinate range (a damaged definition can put the container at either end of it).
Rectangle inParent(const Rectangle& local, int32_t x, int32_t y) {
    const auto clamp = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return Rectangle(clamp(int64_t(local.x) + x), clamp(int64_t(local.y) + y), local.width, local.height);
}
} // namespace

const Class& SpriteClasses::fancyContainer() { return containerRecord; }

FancyContainer::FancyContainer() {
    m_width = 1;
    m_height = 1;
}

bool FancyContainer::initFromDefinition(const ObjectArray&, const IntArray& params) {
    if (params.length < 4) return false;
    m_width = params[2];
    m_height = params[3];
    setLocation(params[0], params[1]);
    return true;
}

void FancyContainer::setSize(int32_t width, int32_t height) {
    invalidate();
    m_width = width;
    m_height = height;
    invalidate();
}

void FancyContainer::onLoaded(Hashtable*) {}

void FancyContainer::onLoaded(DataLoader* loader) {
    if (loader != nullptr) onLoaded(loader->getSpritesByName());
}

bool FancyContainer::addChild(Object* sprite) {
    if (sprite == nullptr || !sprite->instanceOf("Sprite")) return false;
    auto* child = static_cast<Sprite*>(sprite);
    Ref<Sprite> hold = retain(child);
    SyncGuard guard(&m_children);
    const int32_t index = m_children.indexOf(child);
    if (index >= 0) m_children.removeElementAt(index);
    m_children.addElement(child);
    if (child->isVisible()) {
        mergeRect(m_localDirty, child->getBounds());
        Sprite::addDirty(inParent(m_localDirty, m_x, m_y));
    }
    return true;
}

Sprite* FancyContainer::getChild(int32_t index) {
    SyncGuard guard(&m_children);
    if (index < 0 || index >= m_children.size()) return nullptr;
    return m_children.elementAtAs<Sprite>(index);
}

void FancyContainer::repaintAll() {
    m_localDirty.setBounds(0, 0, m_width, m_height);
    invalidate();
}

void FancyContainer::hideWithFade() {
    if (m_fadingOut) return;
    fancyHelper().opacity = 128;
    m_fadingOut = true;
    setVisible(true);
    repaintAll();
}

void FancyContainer::setTint(int32_t opacity, int32_t red, int32_t green, int32_t blue) {
    SyncGuard guard(&m_children);
    for (int32_t i = 0; i < m_children.size(); ++i) {
        m_children.elementAtAs<Sprite>(i)->setTint(opacity, red, green, blue);
    }
}

bool FancyContainer::update(int32_t tick, Rectangle& rect, Region* region) {
    if (m_fadingOut) {
        const int32_t opacity = fancyHelper().opacity - m_fadeStep;
        if (opacity > 0) {
            m_fancy->opacity = opacity;
            invalidate();
        } else {
            setVisible(false);
            m_fadingOut = false;
        }
    }
    bool result = Sprite::step(tick, rect);
    if (result) addToRegion(region, rect);

    bool changed = false;
    {
        SyncGuard guard(&m_children);
        const Rectangle area(0, 0, m_width, m_height);
        for (int32_t i = 0; i < m_children.size(); ++i) {
            Rectangle scratch;
            if (!m_children.elementAtAs<Sprite>(i)->step(tick, scratch)) continue;
            scratch.intersectWith(area);
            if (scratch.isEmpty()) continue;
            mergeRect(m_localDirty, scratch);
            scratch = inParent(scratch, m_x, m_y);
            if (m_paintVisible) addToRegion(region, scratch);
            changed = true;
        }
    }
    if (changed && m_paintVisible) {
        mergeRect(rect, inParent(m_localDirty, m_x, m_y));
        result = true;
    }
    return result;
}

bool FancyContainer::step(int32_t tick, Rectangle& rect) { return update(tick, rect, nullptr); }

void FancyContainer::paintChildren(Graphics* surface, Region* region) {
    // The children only change on the render thread, which is the one painting, so no lock is taken.
    for (int32_t i = 0; i < m_children.size(); ++i) {
        Sprite* child = m_children.elementAtAs<Sprite>(i);
        bool meets;
        if (region) {
            meets = region->intersects(child->getBounds());
        } else {
            meets = overlaps(m_localDirty, child->getBounds());
        }
        if (meets) child->paint(surface);
    }
}

void FancyContainer::paint(Graphics* surface) {
    if (!m_paintVisible || surface == nullptr) return;
    if (m_fadingOut) {
        if (!m_image) {
            m_image = adopt(new Image(m_width, m_height, 1, false));
            m_image->setAlphaFlag(true);
        }
        if (!m_localDirty.isEmpty()) {
            Graphics* copy = m_image->getGraphics();
            copy->clipRect(m_localDirty.x, m_localDirty.y, m_localDirty.width, m_localDirty.height);
            m_image->clearRect(m_localDirty.x, m_localDirty.y, m_localDirty.width, m_localDirty.height);
            paintChildren(copy, nullptr);
            copy->dispose();
            copy->release();
        }
        Sprite::paint(surface);
    } else {
        SubSurface sub(surface);
        Graphics* g = sub.get();
        g->clipRect(m_x, m_y, m_width, m_height);
        g->translate(m_x, m_y);
        Ref<Region> clip = adopt(g->getClip());
        // Nothing of a container off the surface shows. One whose corner lies at the very end of the
        // coordinate range (a damaged definition) is always off it, and its translation could not be undone.
        if (clip && !clip->isNull() && clip->getRectCount() == 0) {
            m_localDirty.setBounds(0, 0, 0, 0);
            return;
        }
        int32_t tx = 0;
        int32_t ty = 0;
        g->getTranslation(tx, ty);
        if (clip) clip->offset(-tx, -ty);
        paintChildren(g, clip.get());
    }
    m_localDirty.setBounds(0, 0, 0, 0);
}

} // namespace mph
