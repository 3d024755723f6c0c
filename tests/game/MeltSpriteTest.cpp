// MeltSprite: piece layout and size, lives by row, the second phase, drawing, and hiding when done.
#include "sprites/SpriteTestSupport.h"

#include "game/GameClasses.h"
#include "game/MeltSprite.h"
#include "game/ShapeSprite.h"
#include "gfx/GraphicsI.h"
#include "runtime/CRandom.h"

#include <gtest/gtest.h>

#include <string>

using namespace lang;
using namespace mph;
using namespace spritetest;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;

// A w x h picture whose left half is red and right half green.
Ref<Image> twoCells(int32_t w, int32_t h) {
    auto picture = solidImage(w, h, kRed);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = w / 2; x < w; ++x)
            picture->getPixels()[y * w + x] = kGreen;
    }
    return picture;
}

} // namespace

TEST(MeltSprite, RowMeltCapsPiecesAndRunsDownFromTheTop) {
    registerGameClasses();
    Ref<Object> made = adopt(Class::forName("MeltSprite")->newInstance());
    auto* melt = static_cast<MeltSprite*>(made.get());
    EXPECT_TRUE(melt->initFromDefinition(*images({}), *ints({5, 7})));
    EXPECT_FALSE(melt->isVisible());

    // 801 x 61 pixels: ceil(sqrt(97)) = 10 pixel pieces, 81 a row, 7 rows: 567, cut at 499.
    auto picture = solidImage(801, 61, kRed);
    CRandom::seed(1); // first value 41
    melt->meltPicture(picture.get());
    EXPECT_TRUE(melt->isVisible());
    EXPECT_EQ(melt->getPieceSize(), 10);
    EXPECT_EQ(melt->getPieceCount(), 499);
    EXPECT_EQ(melt->getLiveCount(), 499);
    const MeltSprite::Piece& first = melt->getPiece(1);
    EXPECT_EQ(first.life, 18); // top row: R = 61 / 10 + 1 = 7, 2 * (16 - 7)
    EXPECT_EQ(first.flags, MeltSprite::kDamping | MeltSprite::kAccelerate);
    EXPECT_EQ(first.velY, 137); // 41 / 32768 * 0.24 * 7 pixels in 16.16
    const MeltSprite::Piece& last = melt->getPiece(499);
    EXPECT_EQ(last.srcX, 120);
    EXPECT_EQ(last.srcY, 60);
    EXPECT_EQ(last.width, 10);
    EXPECT_EQ(last.height, 1); // cut at the picture's bottom
    EXPECT_EQ(last.life, 30);  // bottom row: R = 1

    int32_t t = 0;
    while (t < 18)
        tick(*melt, t++);
    EXPECT_EQ(melt->getLiveCount(), 499 - 81);
    while (t < 29)
        tick(*melt, t++);
    EXPECT_EQ(melt->getLiveCount(), 13); // the short last row
    EXPECT_TRUE(melt->isVisible());
    const Rectangle before = melt->getBounds();
    const Rectangle dirty = tick(*melt, t++);
    EXPECT_EQ(melt->getLiveCount(), 0);
    EXPECT_FALSE(melt->isVisible());
    EXPECT_EQ(melt->getBounds().width, 0);
    // The area the last pieces were drawn in is repainted.
    Rectangle covered = dirty;
    covered.intersectWith(before);
    EXPECT_TRUE(covered.sameAs(before.x, before.y, before.width, before.height));
}

TEST(MeltSprite, FallenShapeBreaksFromTheBottomThenFliesApart) {
    auto picture = twoCells(80, 40);
    MeltSprite melt;
    CRandom::seed(7);
    melt.meltCell(picture.get(), Rectangle(40, 0, 40, 40), 1.5f, 4.3f, 6);
    // 1600 / 500 would give 2 pixel pieces; the minimum is 6. 7 x 7 pieces; speed down trunc(4.8) = 4.
    EXPECT_EQ(melt.getPieceSize(), 6);
    EXPECT_EQ(melt.getPieceCount(), 49);
    EXPECT_EQ(melt.getPiece(1).srcX, 40);
    EXPECT_EQ(melt.getPiece(1).life, 10); // 6 * (40 / 6 + 1) / 4
    EXPECT_EQ(melt.getPiece(43).life, 1); // bottom row: (42 - 36) / 4
    EXPECT_EQ(melt.getPiece(49).width, 4);

    tick(melt, 0);
    const MeltSprite::Piece& top = melt.getPiece(1);
    EXPECT_EQ(top.posX, 98304); // 1.5 pixels
    EXPECT_EQ(top.posY, 4 << 16);
    EXPECT_EQ(top.life, 9);
    EXPECT_EQ(top.flags, 0x34);
    for (int32_t n = 43; n <= 49; ++n) {
        const MeltSprite::Piece& p = melt.getPiece(n);
        EXPECT_TRUE(p.live);
        EXPECT_EQ(p.flags, MeltSprite::kAccelerate);
        EXPECT_EQ(p.accY, 0xA666);
        EXPECT_GE(p.life, 26);
        EXPECT_LE(p.life, 32);
        // Most pieces hop upwards at decrement 2; a few shoot off anywhere at decrement 1.
        if (p.decrement == 2) {
            EXPECT_LE(p.velY, 0);
        } else {
            EXPECT_EQ(p.decrement, 1);
        }
    }
    // Every piece is gone at the latest 32 ticks after the top row broke away.
    int32_t t = 1;
    while (melt.isVisible() && t < 200)
        tick(melt, t++);
    EXPECT_LE(t, 10 + 32);
    EXPECT_EQ(melt.getLiveCount(), 0);
}

TEST(MeltSprite, DrawsEachPieceFromItsCell) {
    auto picture = twoCells(12, 6);
    MeltSprite melt;
    melt.setLocation(1, 0);
    melt.meltCell(picture.get(), Rectangle(6, 0, 6, 6), 0.0f, 0.0f, 3); // falls 1 pixel per tick
    EXPECT_EQ(melt.getPieceCount(), 4);
    tick(melt, 0);
    EXPECT_TRUE(melt.getBounds().sameAs(1, 1, 6, 6));
    auto target = solidImage(8, 8, kWhite);
    Ref<GraphicsI> surface = adopt(new GraphicsI(target.get()));
    melt.paint(surface.get());
    surface->dispose();
    auto column = [&](int32_t x) {
        std::string s;
        for (int32_t y = 0; y < 8; ++y) {
            const uint32_t p = target->getPixels()[y * 8 + x];
            s += p == kWhite ? '.' : p == kGreen ? 'G' : '?';
        }
        return s;
    };
    EXPECT_EQ(column(0), "........");
    EXPECT_EQ(column(1), ".GGGGGG.");
    EXPECT_EQ(column(6), ".GGGGGG.");
    EXPECT_EQ(column(7), "........");
}

TEST(MeltSprite, TakesAFallenShapesFrameWhereItStands) {
    auto picture = twoCells(80, 40);
    ShapeSprite shape;
    shape.setImageGrid(picture.get(), 2, 1);
    shape.setFrame(1);
    shape.setLocation(30, 40);
    MeltSprite melt;
    CRandom::seed(1); // 41: a minimum piece size of 6
    melt.meltShape(shape);
    EXPECT_TRUE(melt.isVisible());
    EXPECT_EQ(melt.getX(), 30);
    EXPECT_EQ(melt.getY(), 40);
    EXPECT_EQ(melt.getPieceSize(), 6);
    EXPECT_EQ(melt.getPiece(1).srcX, 40);
}
