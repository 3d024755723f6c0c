// AnimateSprite: frame stepping, ping-pong, glides and fades on the tick clock.
#include "sprites/AnimateSprite.h"

#include "gfx/Image.h"
#include "sprites/PaintSupport.h"
#include "sprites/SpriteClasses.h"

#include <cstdio>
#include <utility>

using namespace lang;

namespace mph {

namespace {
ClassRecord<AnimateSprite> animateRecord("AnimateSprite");
} // namespace

const Class& SpriteClasses::animateSprite() { return animateRecord; }

void AnimateSprite::applyGrid(int32_t columns, int32_t rows) {
    // A grid needs at least one cell each way; smaller values would divide by zero.
    m_columns = columns < 1 ? 1 : columns;
    m_rows = rows < 1 ? 1 : rows;
    if (int64_t(m_columns) * m_rows > kMaxGridCells) {
        // Frame numbers could not count the cells: a damaged definition, shown as the picture uncut.
        std::fprintf(stderr,
                     "AnimateSprite: a grid of %d by %d cells is more than %d; the picture is one cell\n",
                     m_columns, m_rows, kMaxGridCells);
        m_columns = 1;
        m_rows = 1;
    }
    m_frameCount = m_columns * m_rows;
    m_lastFrame = m_frameCount - 1;
    if (m_image) {
        m_width = m_image->getWidth() / m_columns;
        m_height = m_image->getHeight() / m_rows;
    }
}

bool AnimateSprite::initFromDefinition(const ObjectArray& images, const IntArray& params) {
    if (params.length < 4) return false;
    setImage(definitionImage(images, 0));
    setLocation(params[0], params[1]);
    applyGrid(params[2], params[3]);
    if (params.length >= 5) {
        setVisible(params[4] != -1);
        setFrame(params[4]);
    }
    if (params.length >= 8) {
        setDelay(params[5]);
        setPingPong(params[6] != 0);
        setStep(params[7], true);
    }
    return true;
}

void AnimateSprite::setImageGrid(Image* image, int32_t columns, int32_t rows) {
    Sprite::setImage(image);
    applyGrid(columns, rows);
}

void AnimateSprite::setImage(Image* image) { Sprite::setImage(image); }

void AnimateSprite::setFrame(int32_t n) {
    if (n >= m_frameCount) n = m_frameCount - 1;
    // A negative frame (a hidden cell in a definition) would index outside the picture.
    if (n < 0) n = 0;
    if (n == m_frame) return;
    m_frame = n;
    invalidate();
}

void AnimateSprite::setStep(int32_t step, bool loop) {
    m_frameStep = step;
    m_looping = loop;
    if (!m_looping && !m_pingPong) m_busy = true;
}

void AnimateSprite::setPingPong(bool on) {
    m_busy = false;
    m_pingPong = on;
}

void AnimateSprite::moveTo(int32_t x, int32_t y, int32_t steps) {
    m_targetX = x;
    m_targetY = y;
    m_busy = true;
    m_moveSteps = steps;
}

void AnimateSprite::fadeTo(int32_t opacity, int32_t steps) {
    m_targetOpacity = opacity;
    m_busy = true;
    if (steps != -1) m_fadeSteps = steps;
    if (m_fadeSteps == 0) m_fadeSteps = 1;
}

void AnimateSprite::setLocation(int32_t x, int32_t y) {
    Sprite::setLocation(x, y);
    m_targetX = m_x;
    m_targetY = m_y;
}

void AnimateSprite::moveBy(int32_t dx, int32_t dy) {
    Sprite::moveBy(dx, dy);
    m_targetX = m_x;
    m_targetY = m_y;
}

void AnimateSprite::setTint(int32_t opacity, int32_t red, int32_t green, int32_t blue) {
    m_targetOpacity = opacity;
    Sprite::setTint(opacity, red, green, blue);
}

bool AnimateSprite::step(int32_t tick, Rectangle& rect) {
    const int32_t current = m_fancy ? m_fancy->opacity : m_targetOpacity;
    const bool advance = m_frameStep != 0 && (m_frameDelay == 0 || tick % m_frameDelay == 0);
    bool moving = false;
    const bool atRest = m_x == m_targetX && m_y == m_targetY && current == m_targetOpacity && m_moveSteps <= 0 &&
                        m_fadeSteps <= 0;
    if (advance || !atRest) {
        invalidate();
        if (advance) {
            int32_t frame = m_frame + m_frameStep;
            if (frame > m_lastFrame) {
                if (m_pingPong) {
                    frame -= m_frameStep;
                    m_frameStep = -m_frameStep;
                } else if (m_looping) {
                    frame %= m_frameCount;
                } else {
                    frame -= m_frameStep;
                    m_frameStep = 0;
                }
            }
            if (frame < 0) {
                if (m_pingPong) {
                    frame -= m_frameStep;
                    m_frameStep = -m_frameStep;
                } else if (m_looping) {
                    frame += m_frameCount;
                } else {
                    frame -= m_frameStep;
                    m_frameStep = 0;
                }
            }
            setFrame(frame);
        }
        if (m_moveSteps == 1) {
            m_x = m_targetX;
            m_y = m_targetY;
            m_moveSteps = 0;
        } else if (m_moveSteps > 1) {
            m_x += (m_targetX - m_x) / m_moveSteps;
            m_y += (m_targetY - m_y) / m_moveSteps;
            --m_moveSteps;
            moving = true;
        }
        if (m_fadeSteps == 1) {
            if (m_fancy) m_fancy->opacity = m_targetOpacity;
            m_fadeSteps = 0;
        } else if (m_fadeSteps > 1) {
            if (m_fancy) m_fancy->opacity = current + (m_targetOpacity - current) / m_fadeSteps;
            --m_fadeSteps;
            moving = true;
        }
        invalidate();
    }
    const bool animating = (!m_looping && m_frameStep != 0 && !m_pingPong) || moving;
    const bool result = Sprite::step(tick, rect);
    if (!animating && m_busy) m_busy = false;
    return result;
}

bool AnimateSprite::hitOpaque(int32_t px, int32_t py) {
    const int32_t u = px - getX();
    const int32_t v = py - getY();
    if (u < 0 || v < 0 || u >= m_width || v >= m_height) return false;
    const Image* image = m_image.get();
    if (image == nullptr || !image->hasPixels()) return false;
    const int32_t ix = u + m_width * (m_frame % m_columns);
    const int32_t iy = v + m_height * (m_frame / m_columns);
    if (ix >= image->getWidth() || iy >= image->getHeight()) return false;
    const int32_t stride = image->getStride() / 4;
    return (std::as_const(*image).getPixels()[int64_t(iy) * stride + ix] >> 24) != 0;
}

void AnimateSprite::copyAnimationInto(AnimateSprite& other) const {
    copyInto(other);
    other.m_columns = m_columns;
    other.m_rows = m_rows;
    other.m_frameCount = m_frameCount;
    other.m_frame = m_frame;
    other.m_frameStep = m_frameStep;
    other.m_frameDelay = m_frameDelay;
    other.m_lastFrame = m_lastFrame;
    other.m_targetX = m_targetX;
    other.m_targetY = m_targetY;
    other.m_targetOpacity = m_targetOpacity;
    other.m_moveSteps = m_moveSteps;
    other.m_fadeSteps = m_fadeSteps;
    other.m_looping = m_looping;
    other.m_pingPong = m_pingPong;
    other.m_busy = m_busy;
}

Sprite* AnimateSprite::clone() const {
    auto* copy = new AnimateSprite();
    copyAnimationInto(*copy);
    return copy;
}

void AnimateSprite::paint(Graphics* surface) {
    if (!m_image || !m_paintVisible || surface == nullptr) return;
    SubSurface sub(surface);
    Graphics* g = sub.get();
    g->clipRect(m_x, m_y, m_width, m_height);
    if (m_clip) g->clipRect(m_clip->x, m_clip->y, m_clip->width, m_clip->height);
    drawWithBlend(g, m_image.get(), m_x - (m_frame % m_columns) * m_width, m_y - (m_frame / m_columns) * m_height);
}

} // namespace mph
