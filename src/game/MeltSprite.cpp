// MeltSprite: laying pieces over a picture, their per-tick motion in 16.16 fixed point, and their drawing.
#include "game/MeltSprite.h"

#include "game/ShapeSprite.h"
#include "gfx/Blitter.h"
#include "gfx/GraphicsI.h"
#include "gfx/Region.h"
#include "runtime/CRandom.h"
#include "sprites/PaintSupport.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <utility>

using namespace lang;

namespace mph {

namespace {
ClassRecord<MeltSprite> meltRecord("MeltSprite");

constexpr double kOne = 65536.0;
// 0.65 pixels per tick per tick, downwards.
constexpr int32_t kSecondPhaseGravity = 0xA666;

int32_t runtimeRand() {
    if (!CRandom::isSeeded()) CRandom::seed(tickCount());
    return CRandom::next();
}

// A product taken in floating point, truncated toward zero into a 32-bit fixed-point value.
int32_t fixedOf(double v) {
    return static_cast<int32_t>(std::clamp(std::trunc(v), double(INT_MIN), double(INT_MAX)));
}

// Fixed-point sums wrap instead of overflowing.
int32_t wrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t wrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// ceil(sqrt(trunc(width * height / 500))): the piece size that keeps a picture under 500 pieces.
int32_t pieceSizeFor(int32_t width, int32_t height) {
    const int64_t q = int64_t(width) * int64_t(height) / 500;
    auto s = static_cast<int64_t>(std::sqrt(static_cast<double>(q)));
    while (s * s < q)
        ++s;
    while (s > 0 && (s - 1) * (s - 1) >= q)
        --s;
    return static_cast<int32_t>(s);
}

// The part of rect that lies inside a width x height picture.
Rectangle insidePicture(const Rectangle& rect, const Image& picture) {
    Rectangle r = rect;
    r.intersectWith(Rectangle(0, 0, picture.getWidth(), picture.getHeight()));
    return r;
}
} // namespace

const Class& MeltSprite::classRecord() {
    return meltRecord;
}

MeltSprite::MeltSprite() {
    m_visible = false;
}

bool MeltSprite::initFromDefinition(const ObjectArray&, const IntArray& params) {
    if (params.length < 2) return false;
    setLocation(params[0], params[1]);
    return true;
}

int32_t MeltSprite::layOut(int32_t originX, int32_t originY, int32_t width, int32_t height, int32_t s) {
    for (Piece& p : m_pieces)
        p = Piece();
    int32_t n = 0;
    for (int32_t py = 0; py < height && n < kMaxPieces; py += s) {
        for (int32_t px = 0; px < width && n < kMaxPieces; px += s) {
            Piece& p = m_pieces[static_cast<size_t>(++n)];
            p.srcX = static_cast<int16_t>(originX + px);
            p.srcY = static_cast<int16_t>(originY + py);
            // Pieces at the right and bottom edges are cut to the picture.
            p.width = static_cast<int16_t>(std::min(s, width - px));
            p.height = static_cast<int16_t>(std::min(s, height - py));
            p.posX = px << 16;
            p.posY = py << 16;
            p.live = true;
        }
    }
    return n;
}

void MeltSprite::begin(Image* picture, int32_t pieces, int32_t s) {
    invalidate();
    m_picture = retain(picture);
    m_pieceCount = pieces;
    m_liveCount = pieces;
    m_pieceSize = s;
    measure();
    invalidate();
    if (pieces > 0) setVisible(true);
}

void MeltSprite::meltPicture(Image* picture) {
    if (picture == nullptr || !picture->hasPixels()) {
        begin(nullptr, 0, 0);
        return;
    }
    const int32_t width = picture->getWidth();
    const int32_t height = picture->getHeight();
    const int32_t s = std::max(1, pieceSizeFor(width, height));
    const int32_t count = layOut(0, 0, width, height, s);
    for (int32_t n = 1; n <= count; ++n) {
        Piece& p = m_pieces[static_cast<size_t>(n)];
        // R counts piece rows from the bottom: the top row runs first, the bottom row lasts longest.
        const int32_t rowsFromBottom = height / s + 1 - (p.posY >> 16) / s;
        p.flags = kDamping | kAccelerate;
        p.decrement = 1;
        const double u = runtimeRand() / 32768.0;
        p.velY = fixedOf(u * 0.24 * rowsFromBottom * kOne);
        p.life = static_cast<int16_t>(std::max(3, 2 * (16 - rowsFromBottom)));
    }
    begin(picture, count, s);
}

void MeltSprite::meltCell(Image* picture, const Rectangle& cell, float velX, float velY,
                          int32_t minPieceSize) {
    if (picture == nullptr || !picture->hasPixels()) {
        begin(nullptr, 0, 0);
        return;
    }
    const Rectangle area = insidePicture(cell, *picture);
    if (area.isEmpty()) {
        begin(nullptr, 0, 0);
        return;
    }
    const int32_t down = std::max(1, static_cast<int32_t>(std::clamp(velY + 0.5f, -1.0e6f, 1.0e6f)));
    const int32_t s = std::max({1, minPieceSize, pieceSizeFor(area.width, area.height)});
    const int32_t count = layOut(area.x, area.y, area.width, area.height, s);
    const int32_t topLife = s * (area.height / s + 1);
    const int32_t sideways = fixedOf(static_cast<double>(velX) * kOne);
    for (int32_t n = 1; n <= count; ++n) {
        Piece& p = m_pieces[static_cast<size_t>(n)];
        p.flags = kSecondPhase | kFallen | kAccelerate;
        p.decrement = 1;
        p.velX = sideways;
        p.velY = down << 16;
        // Each row down lives s ticks' worth less, so the lowest pieces break away first.
        p.life = static_cast<int16_t>((topLife - (p.posY >> 16) / s * s) / down);
    }
    begin(picture, count, s);
}

void MeltSprite::meltShape(const ShapeSprite& shape) {
    const int32_t minPieceSize = 6 + static_cast<int32_t>(3.0 * runtimeRand() / 32768.0);
    const int32_t w = shape.getWidth();
    const int32_t h = shape.getHeight();
    const int32_t columns = std::max(1, shape.getColumns());
    const int32_t frame = shape.getFrame();
    setLocation(shape.getX(), shape.getY());
    meltCell(shape.getImage(), Rectangle((frame % columns) * w, (frame / columns) * h, w, h), shape.getVelX(),
             shape.getVelY(), minPieceSize);
}

void MeltSprite::startSecondPhase(Piece& p) {
    p.flags &= static_cast<uint8_t>(~(kSecondPhase | kFallen));
    const int32_t r1 = runtimeRand();
    if (r1 / 32768.0 < 0.07) {
        // A few pieces shoot off in any direction.
        const int32_t r2 = runtimeRand();
        const int32_t r3 = runtimeRand();
        const double speed = r2 / 16384.0 + 6.5;
        const double angle = r3 * std::numbers::pi / 16384.0;
        p.velX = fixedOf(speed * std::cos(angle) * kOne);
        p.velY = fixedOf(speed * std::sin(angle) * kOne);
        p.decrement = 1;
    } else {
        // The rest hop upwards, between 10 and 170 degrees, keeping their sideways drift.
        const int32_t r2 = runtimeRand();
        const int32_t r3 = runtimeRand();
        const double speed = r2 / 16384.0 + 0.5;
        const double angle = (r3 / 32768.0) * 8.0 * std::numbers::pi / 9.0 + std::numbers::pi / 18.0;
        p.velX = wrapAdd(p.velX, fixedOf(speed * std::cos(angle) * kOne));
        p.velY = fixedOf(-speed * std::sin(angle) * kOne);
        p.decrement = 2;
    }
    p.accX = 0;
    p.accY = kSecondPhaseGravity;
    p.life = static_cast<int16_t>(32 - static_cast<int32_t>(7.0 * runtimeRand() / 32768.0));
}

void MeltSprite::movePiece(Piece& p) {
    p.posX = wrapAdd(p.posX, p.velX);
    p.posY = wrapAdd(p.posY, p.velY);
    if (p.flags & kDamping) {
        p.velX = fixedOf(p.velX * 0.95);
        p.velY = fixedOf(p.velY * 0.95);
    }
    if (p.flags & (kSwirlBack | kSwirlOn)) {
        const double k = (p.flags & kSwirlBack) ? -0.1 : 0.1;
        p.velX = wrapAdd(p.velX, fixedOf(p.decrement * double(p.velY) * k));
        p.velY = wrapSub(p.velY, fixedOf(p.decrement * double(p.velX) * k));
    }
    if (p.flags & kAccelerate) {
        p.velX = wrapAdd(p.velX, p.accX);
        p.velY = wrapAdd(p.velY, p.accY);
    }
    p.life = static_cast<int16_t>(p.life - p.decrement);
    if (p.life >= 1) return;
    if (p.flags & kSecondPhase) {
        startSecondPhase(p);
    } else {
        p.live = false;
        --m_liveCount;
    }
}

void MeltSprite::measure() {
    int32_t minX = INT_MAX;
    int32_t minY = INT_MAX;
    int32_t maxX = INT_MIN;
    int32_t maxY = INT_MIN;
    int32_t reachX = 0;
    int32_t reachY = 0;
    for (int32_t n = 1; n <= m_pieceCount; ++n) {
        const Piece& p = m_pieces[static_cast<size_t>(n)];
        if (!p.live) continue;
        const int32_t ox = p.posX >> 16;
        const int32_t oy = p.posY >> 16;
        minX = std::min(minX, ox);
        minY = std::min(minY, oy);
        maxX = std::max(maxX, ox + p.width);
        maxY = std::max(maxY, oy + p.height);
        reachX = std::max(reachX, std::abs(ox));
        reachY = std::max(reachY, std::abs(oy));
    }
    if (minX > maxX) {
        m_box.setBounds(0, 0, 0, 0);
        return;
    }
    m_box.setBounds(minX, minY, maxX - minX, maxY - minY);
    m_width = reachX + m_pieceSize + 1;
    m_height = reachY + m_pieceSize + 1;
}

bool MeltSprite::step(int32_t tick, Rectangle& rect) {
    if (m_liveCount > 0) {
        invalidate();
        for (int32_t n = 1; n <= m_pieceCount; ++n) {
            Piece& p = m_pieces[static_cast<size_t>(n)];
            if (p.live) movePiece(p);
        }
        measure();
    }
    if (m_liveCount > 0) {
        invalidate();
    } else {
        setVisible(false);
    }
    return Sprite::step(tick, rect);
}

Rectangle& MeltSprite::getBounds() {
    m_bounds.setBounds(m_x + m_box.x, m_y + m_box.y, m_box.width, m_box.height);
    if (m_liveCount == 0) m_bounds.setBounds(m_x, m_y, 0, 0);
    if (m_clip) m_bounds.intersectWith(*m_clip);
    return m_bounds;
}

void MeltSprite::paint(Graphics* surface) {
    if (!m_paintVisible || surface == nullptr || m_liveCount == 0 || !m_picture || !m_picture->hasPixels())
        return;
    Image* picture = m_picture.get();
    Image* target = surface->instanceOf("GraphicsI") ? static_cast<GraphicsI*>(surface)->getImage() : nullptr;
    if (target == nullptr) {
        // Other surfaces draw each piece through a clip of its own.
        for (int32_t n = 1; n <= m_pieceCount; ++n) {
            const Piece& p = m_pieces[static_cast<size_t>(n)];
            if (!p.live) continue;
            const int32_t px = m_x + (p.posX >> 16);
            const int32_t py = m_y + (p.posY >> 16);
            SubSurface sub(surface);
            sub.get()->clipRect(px, py, p.width, p.height);
            if (m_clip) sub.get()->clipRect(m_clip->x, m_clip->y, m_clip->width, m_clip->height);
            drawWithBlend(sub.get(), picture, px - p.srcX, py - p.srcY);
        }
        return;
    }
    if (!target->hasPixels()) return;
    // A picture surface is blitted into directly: one pass per clip rectangle, every piece a small blit
    // out of the picture, with nothing made or freed per piece.
    Blitter b;
    if (m_fancy) {
        b.opacity = m_fancy->opacity;
        b.redScale = m_fancy->redScale;
        b.greenScale = m_fancy->greenScale;
        b.blueScale = m_fancy->blueScale;
    }
    if (b.opacity <= 0) return;
    int32_t tx = 0;
    int32_t ty = 0;
    surface->getTranslation(tx, ty);
    const bool additive = surface->getPaintMode() == 1;
    // As a surface's own image draw: an opaque bitmap onto a bitmap is copied unless blend parameters apply.
    const bool straightCopy =
        !m_fancy && !picture->getAlphaFlag() && picture->hasBitmap() && target->hasBitmap() && !additive;
    const int32_t srcStride = picture->getStride() / 4;
    b.dst = target->getPixels();
    b.dstWidth = target->getWidth();
    b.dstHeight = target->getHeight();
    b.dstStride = target->getStride() / 4;
    b.srcStride = srcStride;
    b.keepTransparency = target->getAlphaFlag();
    Ref<Region> clip = adopt(surface->getClip());
    for (int32_t i = 0; i < clip->getRectCount(); ++i) {
        Rectangle part = clip->getRect(i);
        if (m_clip)
            part.intersectWith(Rectangle(m_clip->x + tx, m_clip->y + ty, m_clip->width, m_clip->height));
        if (part.isEmpty()) continue;
        b.clipX = part.x, b.clipY = part.y, b.clipW = part.width, b.clipH = part.height;
        for (int32_t n = 1; n <= m_pieceCount; ++n) {
            const Piece& p = m_pieces[static_cast<size_t>(n)];
            if (!p.live) continue;
            b.src = std::as_const(*picture).getPixels() + int64_t(p.srcY) * srcStride + p.srcX;
            b.srcWidth = p.width;
            b.srcHeight = p.height;
            const int32_t px = m_x + tx + (p.posX >> 16);
            const int32_t py = m_y + ty + (p.posY >> 16);
            if (straightCopy) {
                b.copy(px, py);
            } else {
                b.blend(px, py, additive);
            }
        }
    }
}

Sprite* MeltSprite::clone() const {
    auto* copy = new MeltSprite();
    copyInto(*copy);
    copy->m_picture = m_picture;
    copy->m_pieces = m_pieces;
    copy->m_pieceCount = m_pieceCount;
    copy->m_liveCount = m_liveCount;
    copy->m_pieceSize = m_pieceSize;
    copy->m_box = m_box;
    return copy;
}

} // namespace mph
