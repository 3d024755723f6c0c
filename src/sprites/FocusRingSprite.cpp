// FocusRingSprite: drawing the ring's picture and its pulse.
#include "sprites/FocusRingSprite.h"

#include "gfx/Image.h"

#include <algorithm>
#include <cmath>

using namespace lang;

namespace mph {

namespace {

struct Colour {
    double r, g, b;
};
// The game's gold trim, lighter at the top and deeper at the bottom, around a dark plum rim.
constexpr Colour kGoldLight{255, 236, 170};
constexpr Colour kGoldDeep{214, 150, 46};
constexpr Colour kRim{42, 16, 48};
constexpr Colour kGlow{255, 214, 110};
// The target ring: the same trim, brighter, a wider band and a stronger glow.
constexpr Colour kTargetLight{255, 250, 222};
constexpr Colour kTargetDeep{246, 196, 84};

// Signed distance from (px, py) to the edge of a rectangle with rounded corners (negative inside).
double roundedDistance(double px, double py, double left, double top, double right, double bottom, double r) {
    const double cx = std::clamp(px, left + r, right - r);
    const double cy = std::clamp(py, top + r, bottom - r);
    const double dx = px - cx;
    const double dy = py - cy;
    // Inside the straight parts the distance is to the nearest side.
    if (dx == 0 && dy == 0) return -std::min({px - left, right - px, py - top, bottom - py, r});
    return std::sqrt(dx * dx + dy * dy) - r;
}

// Coverage of a band |d| <= half, with a one-pixel soft edge.
double band(double d, double half) {
    return std::clamp(half + 0.5 - std::fabs(d), 0.0, 1.0);
}

Colour mix(const Colour& a, const Colour& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

} // namespace

FocusRingSprite::FocusRingSprite(Style style) : m_style(style) {
    m_visible = false;
}

Ref<Image> FocusRingSprite::drawRing(int32_t width, int32_t height, int32_t round, Style style) {
    const int32_t w = std::max(width, 1) + 2 * kMargin;
    const int32_t h = std::max(height, 1) + 2 * kMargin;
    Ref<Image> picture = make<Image>(w, h, 1, false);
    picture->setAlphaFlag(true);
    const bool target = style == Target;
    // The ring's middle line runs a few pixels outside the item, so it never hides the item's own edge.
    const double gap = target ? 3.5 : 3.0;
    const double left = kMargin - gap, top = kMargin - gap;
    const double right = w - kMargin + gap, bottom = h - kMargin + gap;
    const double r = std::min({static_cast<double>(round) + gap, (right - left) / 2, (bottom - top) / 2});
    const double gold = target ? 2.25 : 1.5; // half the gold band's width
    const double rim = gold + 1.0;
    const double glowReach = target ? 4.5 : 3.5;
    const Colour light = target ? kTargetLight : kGoldLight;
    const Colour deep = target ? kTargetDeep : kGoldDeep;
    uint32_t* pixels = picture->getPixels();
    for (int32_t y = 0; y < h; ++y) {
        const Colour trim = mix(light, deep, static_cast<double>(y) / (h - 1));
        for (int32_t x = 0; x < w; ++x) {
            const double d = roundedDistance(x + 0.5, y + 0.5, left, top, right, bottom, r);
            const double goldCover = band(d, gold);
            const double rimCover = band(d, rim);
            // A soft glow outside the rim.
            const double glow =
                d > rim ? std::clamp(1.0 - (d - rim) / glowReach, 0.0, 1.0) * (target ? 0.45 : 0.3) : 0.0;
            // Gold over the rim, the rim over the glow.
            double a = glow;
            Colour c = kGlow;
            if (rimCover > 0) {
                c = mix(c, kRim, rimCover / std::max(a + rimCover * (1 - a), 1e-9));
                a = a + rimCover * (1 - a);
            }
            if (goldCover > 0) {
                c = mix(c, trim, goldCover / std::max(a + goldCover * (1 - a), 1e-9));
                a = a + goldCover * (1 - a);
            }
            const auto channel = [](double v) {
                return static_cast<uint32_t>(std::clamp(v, 0.0, 255.0) + 0.5);
            };
            pixels[static_cast<size_t>(y) * w + x] =
                a <= 0 ? 0u : channel(a * 255) << 24 | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
        }
    }
    return picture;
}

void FocusRingSprite::surround(const Rectangle& item, int32_t round) {
    const bool resized = item.width != m_item.width || item.height != m_item.height || round != m_round;
    invalidate();
    if (resized || !m_image) {
        m_image = drawRing(item.width, item.height, round, m_style);
        m_round = round;
    }
    m_item = item;
    m_x = item.x - kMargin;
    m_y = item.y - kMargin;
    m_width = m_image->getWidth();
    m_height = m_image->getHeight();
    m_visible = true;
    invalidate();
}

bool FocusRingSprite::step(int32_t tick, Rectangle& rect) {
    if (m_visible) {
        // A slow breath between full and three-quarter strength draws the eye without flicker.
        const int32_t phase = tick % kPulseTicks;
        const int32_t wave = phase < kPulseTicks / 2 ? phase : kPulseTicks - phase;
        const int32_t opacity = 128 - wave * 32 / (kPulseTicks / 2);
        if (!hasFancyHelper() || fancyHelper().opacity != opacity) setTint(opacity, 128, 128, 128);
    }
    return Sprite::step(tick, rect);
}

Sprite* FocusRingSprite::clone() const {
    auto* copy = new FocusRingSprite(m_style);
    copyInto(*copy);
    copy->m_item = m_item;
    copy->m_round = m_round;
    return copy;
}

} // namespace mph
