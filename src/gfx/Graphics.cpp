// Graphics: the operations every kind of surface shares.
#include "gfx/Graphics.h"

#include "gfx/Font.h"

#include <algorithm>
#include <cstdlib>

namespace mph {

Graphics::~Graphics() {
    if (m_font) m_font->release();
}

int32_t Graphics::setPaintMode(int32_t mode) {
    const int32_t previous = m_paintMode;
    m_paintMode = mode;
    return previous;
}

void Graphics::dispose() {
    if (m_font) m_font->release();
    m_font = nullptr;
}

void Graphics::setFont(Font* font) {
    if (font) font->addRef();
    if (m_font) m_font->release();
    m_font = font;
}

// Steps along the major axis one pixel at a time, rounding the minor coordinate like a DDA from the
// first point, and plots every point except the last one through drawPixel.
void Graphics::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const int64_t dx = int64_t(x2) - x1;
    const int64_t dy = int64_t(y2) - y1;
    const int64_t steps = std::max(std::llabs(dx), std::llabs(dy));
    // A line longer than any picture is a caller's mistake; refusing it avoids a practically endless loop.
    if (steps == 0 || steps > (int64_t(1) << 20)) return;
    // Fixed point with rounding, so a line ends on the same pixels whatever its direction.
    for (int64_t i = 0; i < steps; ++i) {
        const int64_t px = x1 + (dx * i * 2 + (dx >= 0 ? steps : -steps)) / (2 * steps);
        const int64_t py = y1 + (dy * i * 2 + (dy >= 0 ? steps : -steps)) / (2 * steps);
        drawPixel(static_cast<int32_t>(px), static_cast<int32_t>(py));
    }
}

} // namespace mph
