// WaveSprite: the padded copy and the per-tick displacement and its undo.
#include "sprites/WaveSprite.h"

#include "gfx/Image.h"
#include "sprites/SpriteClasses.h"

#include <cmath>
#include <cstring>
#include <utility>

using namespace lang;

namespace mph {

namespace {
ClassRecord<WaveSprite> waveRecord("WaveSprite");
} // namespace

const Class& SpriteClasses::waveSprite() { return waveRecord; }

bool WaveSprite::initFromDefinition(const ObjectArray& images, const IntArray& params) {
    Image* source = definitionImage(images, 0);
    if (params.length < 2 || source == nullptr || !source->hasPixels()) return false;
    m_marginX = 10;
    m_amplitude = params.length > 2 ? params[2] : source->getHeight() / 2;
    if (m_amplitude < 0) m_amplitude = -m_amplitude;
    const int64_t w = int64_t(source->getWidth()) + 2 * m_marginX;
    const int64_t h = int64_t(source->getHeight()) + 2 * int64_t(m_amplitude);
    if (!Image::sizeAcceptable(w, h)) return false;
    Ref<Image> padded = adopt(new Image(int32_t(w), int32_t(h), 1, false));
    const int32_t sw = source->getWidth();
    const int32_t srcStride = source->getStride() / 4;
    const int32_t dstStride = padded->getStride() / 4;
    for (int32_t row = 0; row < source->getHeight(); ++row) {
        std::memcpy(padded->getPixels() + int64_t(row + m_amplitude) * dstStride + m_marginX,
                    std::as_const(*source).getPixels() + int64_t(row) * srcStride, size_t(sw) * 4);
    }
    padded->setAlphaFlag(true);
    setImage(padded.get());
    m_phase = 0;
    setLocation(params[0], params[1]);
    return true;
}

void WaveSprite::setLocation(int32_t x, int32_t y) { Sprite::setLocation(x - m_marginX, y - m_amplitude); }

void WaveSprite::displace(Image* image, int32_t amp, int32_t phase) {
    if (image == nullptr || !image->hasPixels()) return;
    const int32_t w = image->getWidth();
    const int32_t h = image->getHeight();
    const int32_t stride = image->getStride() / 4;
    uint32_t* pixels = image->getPixels();
    for (int32_t i = 0; i < w; ++i) {
        // The phase is reduced to one period first, so that phases a whole period apart compute exactly the
        // same sines (3.141592 is not pi, and a sine that lands on a whole pixel count could truncate
        // differently); the remainder keeps the sign of the dividend.
        const int32_t angle = (phase % 360 - i) % 360;
        int32_t d = static_cast<int32_t>(amp * std::sin(angle * 3.141592 / 180));
        if (d > h) d = h;
        if (d < -h) d = -h;
        uint32_t* column = pixels + i;
        if (d > 0) {
            for (int32_t row = h - 1; row >= d; --row) column[int64_t(row) * stride] = column[int64_t(row - d) * stride];
            for (int32_t row = 0; row < d; ++row) column[int64_t(row) * stride] = 0;
        } else if (d < 0) {
            const int32_t up = -d;
            for (int32_t row = 0; row + up < h; ++row) column[int64_t(row) * stride] = column[int64_t(row + up) * stride];
            for (int32_t row = h - up; row < h; ++row) column[int64_t(row) * stride] = 0;
        }
    }
}

bool WaveSprite::step(int32_t tick, Rectangle& rect) {
    if (m_image) {
        if (m_phase != 0) displace(m_image.get(), -m_amplitude, m_phase);
        m_phase += 10;
        displace(m_image.get(), m_amplitude, m_phase);
        invalidate();
    }
    return Sprite::step(tick, rect);
}

} // namespace mph
