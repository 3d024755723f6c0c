// KeyboardSprite: the keys' layout, the focus's moves over them and the panel's picture.
#include "sprites/KeyboardSprite.h"

#include "gfx/Font.h"
#include "gfx/FontService.h"
#include "gfx/GraphicsI.h"
#include "gfx/Image.h"
#include "runtime/Color.h"

#include <algorithm>
#include <cmath>

using namespace lang;

namespace mph {

namespace {

// Rows of ten columns; the bottom row's keys are wider. Letters are given in capitals.
constexpr int32_t kLetters[5][KeyboardSprite::kColumns] = {
    {'1', '2', '3', '4', '5', '6', '7', '8', '9', '0'},
    {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J'},
    {'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R', 'S', 'T'},
    {'U', 'V', 'W', 'X', 'Y', 'Z', 0xC4, 0xD6, 0xDC, '-'},
    {0xC0, 0xC9, 0xC8, 0xCA, 0xC7, 0xD1, 0xC5, 0xC6, 0xD8, 0xDF},
};
struct Wide {
    int32_t code, column, span;
};
constexpr Wide kBottom[] = {{KeyboardSprite::kShift, 0, 2},
                            {KeyboardSprite::kSpace, 2, 4},
                            {KeyboardSprite::kBackspace, 6, 2},
                            {KeyboardSprite::kOk, 8, 2}};
constexpr int32_t kFontSize = 17;

struct Colour {
    double r, g, b;
};
constexpr Colour kPanelTop{255, 250, 242}, kPanelBottom{234, 220, 243}, kGold{255, 200, 87};
constexpr Colour kCapTop{255, 255, 255}, kCapBottom{255, 232, 196}, kRim{58, 31, 93};
constexpr Colour kWideTop{160, 120, 214}, kWideBottom{92, 56, 150};
constexpr uint32_t kLabel = 0xFF3A2A55u, kWideLabel = 0xFFFFFBEAu;

double roundedDistance(double px, double py, double left, double top, double right, double bottom, double r) {
    const double cx = std::clamp(px, left + r, right - r);
    const double cy = std::clamp(py, top + r, bottom - r);
    const double dx = px - cx, dy = py - cy;
    if (dx == 0 && dy == 0) return -std::min({px - left, right - px, py - top, bottom - py, r});
    return std::sqrt(dx * dx + dy * dy) - r;
}

uint32_t channel(double v) {
    return static_cast<uint32_t>(std::clamp(v, 0.0, 255.0) + 0.5);
}

// Blends a colour of coverage a over the pixel (straight alpha).
void blend(uint32_t& pixel, const Colour& c, double a) {
    if (a <= 0) return;
    const double da = (pixel >> 24) / 255.0;
    const double oa = a + da * (1 - a);
    auto mixed = [&](double src, int shift) {
        const double dst = (pixel >> shift) & 0xFF;
        return (src * a + dst * da * (1 - a)) / oa;
    };
    pixel = channel(oa * 255) << 24 | channel(mixed(c.r, 16)) << 16 | channel(mixed(c.g, 8)) << 8 |
            channel(mixed(c.b, 0));
}

Colour mix(const Colour& a, const Colour& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A rounded box filled top to bottom from one colour to another, with a rim of the given width.
void box(Image& image, double left, double top, double right, double bottom, double round, const Colour& from,
         const Colour& to, const Colour& rim, double rimWidth) {
    uint32_t* pixels = image.getPixels();
    const int32_t w = image.getWidth();
    for (int32_t y = std::max(0, static_cast<int32_t>(top) - 1);
         y < std::min(image.getHeight(), static_cast<int32_t>(bottom) + 1); ++y) {
        const Colour fill = mix(from, to, std::clamp((y + 0.5 - top) / (bottom - top), 0.0, 1.0));
        for (int32_t x = std::max(0, static_cast<int32_t>(left) - 1);
             x < std::min(w, static_cast<int32_t>(right) + 1); ++x) {
            const double d = roundedDistance(x + 0.5, y + 0.5, left, top, right, bottom, round);
            const double inside = std::clamp(0.5 - d, 0.0, 1.0);
            if (inside <= 0) continue;
            uint32_t& p = pixels[static_cast<size_t>(y) * w + x];
            blend(p, fill, inside);
            blend(p, rim, std::min(inside, std::clamp(rimWidth + 0.5 + d, 0.0, 1.0)));
        }
    }
}

} // namespace

KeyboardSprite::KeyboardSprite() {
    m_width = 2 * kMargin + kColumns * kPitch - (kPitch - kKeySize);
    m_height = 2 * kMargin + kRows * kPitch - (kPitch - kKeySize);
    m_visible = false;
    redraw();
}

const KeyboardSprite::Key* KeyboardSprite::keyAt(int32_t column, int32_t row) {
    static const std::vector<Key> keys = [] {
        std::vector<Key> all;
        for (int32_t r = 0; r < 5; ++r)
            for (int32_t c = 0; c < kColumns; ++c)
                all.push_back(Key{kLetters[r][c], c, r, 1});
        for (const Wide& k : kBottom)
            all.push_back(Key{k.code, k.column, 5, k.span});
        return all;
    }();
    for (const Key& k : keys)
        if (k.row == row && column >= k.column && column < k.column + k.span) return &k;
    return nullptr;
}

int32_t KeyboardSprite::caseOf(int32_t code, bool lower) {
    // The capitals of Latin-1 and their small letters lie 32 apart; the sharp s has no capital.
    const bool capital = (code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7);
    return lower && capital ? code + 32 : code;
}

void KeyboardSprite::reset() {
    m_column = 0;
    m_row = 1;
    if (m_lower) toggleCase();
}

void KeyboardSprite::move(int32_t dx, int32_t dy) {
    if (dy != 0) {
        m_row = ((m_row + dy) % kRows + kRows) % kRows;
        return;
    }
    // Sideways a whole key at a time, so a wide key takes one step.
    const Key* at = keyAt(m_column, m_row);
    int32_t column = dx > 0 ? at->column + at->span : at->column - 1;
    column = (column % kColumns + kColumns) % kColumns;
    m_column = keyAt(column, m_row)->column;
}

void KeyboardSprite::toggleCase() {
    m_lower = !m_lower;
    redraw();
    invalidate();
}

int32_t KeyboardSprite::focusedCode() const {
    return caseOf(keyAt(m_column, m_row)->code, m_lower);
}

std::string KeyboardSprite::focusedLabel() const {
    switch (const int32_t code = focusedCode()) {
    case kShift:
        return "Shift";
    case kSpace:
        return "Space";
    case kBackspace:
        return "Backspace";
    case kOk:
        return "OK";
    default:
        return std::string(1, static_cast<char>(code));
    }
}

Rectangle KeyboardSprite::focusedBounds() const {
    const Key* k = keyAt(m_column, m_row);
    return Rectangle(m_x + kMargin + k->column * kPitch, m_y + kMargin + k->row * kPitch,
                     k->span * kPitch - (kPitch - kKeySize), kKeySize);
}

void KeyboardSprite::redraw() {
    Ref<Image> picture = make<Image>(m_width, m_height, 1, false);
    picture->setAlphaFlag(true);
    box(*picture, 1.5, 1.5, m_width - 1.5, m_height - 1.5, 14, kPanelTop, kPanelBottom, kGold, 3);
    Ref<GraphicsI> g = make<GraphicsI>(picture.get());
    Ref<Font> font = adopt(new Font(String("Arial"), Font::kBold, kFontSize));
    g->setFont(font.get());
    const FontSizeData& metrics = font->sizeData();
    for (int32_t row = 0; row < kRows; ++row) {
        for (int32_t column = 0; column < kColumns; ++column) {
            const Key* k = keyAt(column, row);
            if (k->column != column) continue;
            const double left = kMargin + column * kPitch, top = kMargin + row * kPitch;
            const double right = left + k->span * kPitch - (kPitch - kKeySize), bottom = top + kKeySize;
            const bool wide = k->code < 0;
            box(*picture, left, top, right, bottom, kKeyRound, wide ? kWideTop : kCapTop,
                wide ? kWideBottom : kCapBottom, kRim, 1.25);
            const int32_t cx = static_cast<int32_t>((left + right) / 2),
                          cy = static_cast<int32_t>((top + bottom) / 2);
            g->setColor(Color::fromArgb(wide ? kWideLabel : kLabel));
            if (k->code == kShift) {
                // An upward arrow, filled when small letters show (the key then brings capitals back).
                const int32_t xs[] = {cx, cx + 8, cx + 4, cx + 4, cx - 4, cx - 4, cx - 8};
                const int32_t ys[] = {cy - 9, cy, cy, cy + 8, cy + 8, cy, cy};
                g->fillPolygon(xs, ys, 7);
            } else if (k->code == kSpace) {
                const int32_t xs[] = {cx - 24, cx - 22, cx - 22, cx + 22, cx + 22, cx + 24, cx + 24, cx - 24};
                const int32_t ys[] = {cy - 2, cy - 2, cy + 3, cy + 3, cy - 2, cy - 2, cy + 5, cy + 5};
                g->fillPolygon(xs, ys, 8);
            } else if (k->code == kBackspace) {
                const int32_t xs[] = {cx - 12, cx - 3, cx - 3, cx + 12, cx + 12, cx - 3, cx - 3};
                const int32_t ys[] = {cy, cy - 8, cy - 3, cy - 3, cy + 3, cy + 3, cy + 8};
                g->fillPolygon(xs, ys, 7);
            } else {
                std::string label = k->code == kOk
                                        ? std::string("OK")
                                        : std::string(1, static_cast<char>(caseOf(k->code, m_lower)));
                int32_t width = 0;
                for (char c : label)
                    width += metrics.advance[static_cast<uint8_t>(c)];
                // Centred on the capitals' height (about seven tenths of the ascent).
                g->drawString(String(label.c_str()), cx - width / 2, cy + metrics.ascent * 7 / 20);
            }
        }
    }
    g->dispose();
    setImage(picture.get());
    m_width = picture->getWidth();
    m_height = picture->getHeight();
}

Sprite* KeyboardSprite::clone() const {
    auto* copy = new KeyboardSprite();
    copyInto(*copy);
    copy->m_column = m_column;
    copy->m_row = m_row;
    if (m_lower) copy->toggleCase();
    return copy;
}

} // namespace mph
