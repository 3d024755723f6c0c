// RectButtonSprite: the hot spot's rectangle.
#include "sprites/RectButtonSprite.h"

#include "sprites/SpriteClasses.h"

using namespace lang;

namespace mph {

namespace {
ClassRecord<RectButtonSprite> rectButtonRecord("RectButtonSprite");
} // namespace

const Class& SpriteClasses::rectButtonSprite() { return rectButtonRecord; }

bool RectButtonSprite::initFromDefinition(const ObjectArray&, const IntArray& params) {
    if (params.length < 4) return false;
    m_hitRect.setBounds(params[0], params[1], params[2], params[3]);
    if (params.length >= 5) setState(params[4]);
    return true;
}

bool RectButtonSprite::contains(int32_t x, int32_t y) {
    return m_hitRect.x <= x && x < m_hitRect.x + m_hitRect.width && m_hitRect.y <= y &&
           y < m_hitRect.y + m_hitRect.height;
}

} // namespace mph
