// HourGlass: turning over, and the sand heaps cut to the share of time that is left or gone.
#include "game/HourGlass.h"

#include "gfx/Image.h"
#include "sprites/PaintSupport.h"

#include <algorithm>
#include <cmath>

using namespace lang;

namespace mph {

namespace {
ClassRecord<HourGlass> hourGlassRecord("HourGlass");

// trunc(sqrt(part / whole) * size), with the share held to 0..1 so odd amounts never draw outside a bulb.
int32_t sandRows(int32_t part, int32_t whole, int32_t size) {
    if (whole == 0) return 0;
    const double share = std::clamp(static_cast<double>(part) / whole, 0.0, 1.0);
    return static_cast<int32_t>(std::sqrt(share) * size);
}
} // namespace

const Class& HourGlass::classRecord() {
    return hourGlassRecord;
}

bool HourGlass::initFromDefinition(const ObjectArray& images, const IntArray& params) {
    if (!AnimateSprite::initFromDefinition(images, params)) return false;
    m_topSand = retain(definitionImage(images, 1));
    m_bottomSand = retain(definitionImage(images, 2));
    return true;
}

void HourGlass::setAmount(int32_t amount) {
    invalidate();
    m_amount = amount;
    invalidate();
}

void HourGlass::setFullAmount(int32_t fullAmount) {
    invalidate();
    m_fullAmount = fullAmount;
    invalidate();
}

bool HourGlass::step(int32_t tick, Rectangle& rect) {
    if (m_turning) {
        int32_t next = m_frame + 1;
        if (next >= m_frameCount) {
            m_turning = false;
            next = 0;
        }
        setFrame(next);
    }
    return AnimateSprite::step(tick, rect);
}

int32_t HourGlass::topSandRows() const {
    return m_topSand ? sandRows(m_amount, m_fullAmount, m_topSand->getHeight()) : 0;
}

int32_t HourGlass::bottomSandRows() const {
    return m_bottomSand ? sandRows(m_fullAmount - m_amount, m_fullAmount, m_bottomSand->getHeight()) : 0;
}

void HourGlass::paint(Graphics* surface) {
    AnimateSprite::paint(surface);
    if (!m_paintVisible || surface == nullptr || m_fullAmount == 0 || m_frame != 0) return;
    if (m_topSand) {
        const int32_t height = m_topSand->getHeight();
        SubSurface sub(surface);
        Graphics* g = sub.get();
        // The upper heap sinks: its top rows are cut away.
        g->clipRect(m_x, m_y + kTopSandY + height - topSandRows(), m_width, m_height);
        if (m_clip) g->clipRect(m_clip->x, m_clip->y, m_clip->width, m_clip->height);
        drawWithBlend(g, m_topSand.get(), m_x + kTopSandX, m_y + kTopSandY);
    }
    if (m_bottomSand) {
        const int32_t height = m_bottomSand->getHeight();
        SubSurface sub(surface);
        Graphics* g = sub.get();
        // The lower heap rises: it is pushed down out of its bulb by the rows not yet run through.
        g->clipRect(m_x, m_y + kBottomSandY, m_width, height);
        if (m_clip) g->clipRect(m_clip->x, m_clip->y, m_clip->width, m_clip->height);
        drawWithBlend(g, m_bottomSand.get(), m_x + kBottomSandX,
                      m_y + kBottomSandY + height - bottomSandRows());
    }
}

Sprite* HourGlass::clone() const {
    auto* copy = new HourGlass();
    copyAnimationInto(*copy);
    copy->m_topSand = m_topSand;
    copy->m_bottomSand = m_bottomSand;
    copy->m_amount = m_amount;
    copy->m_fullAmount = m_fullAmount;
    copy->m_turning = m_turning;
    return copy;
}

} // namespace mph
