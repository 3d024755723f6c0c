// ShapeSprite: the fall and its bounces, the reveal band, the drop shadow and the power-up marker.
#include "sprites/SpriteTestSupport.h"

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

struct Target {
    Target(int32_t w, int32_t h)
        : image(solidImage(w, h, kWhite)), surface(adopt(new GraphicsI(image.get()))) {}
    ~Target() { surface->dispose(); }
    uint32_t at(int32_t x, int32_t y) const { return image->getPixels()[y * image->getWidth() + x]; }
    // '.' white, 'R' red, 'G' green, 's' shadow (white darkened by half), '?' anything else.
    std::string column(int32_t x) const {
        std::string s;
        for (int32_t y = 0; y < image->getHeight(); ++y) {
            const uint32_t p = at(x, y);
            s += p == kWhite ? '.' : p == kRed ? 'R' : p == kGreen ? 'G' : p == 0xFF808080u ? 's' : '?';
        }
        return s;
    }
    Ref<Image> image;
    Ref<GraphicsI> surface;
};

// Ticks until the shape stops falling; returns how many ticks that took.
int32_t fallUntilLanded(ShapeSprite& s, int32_t& t) {
    int32_t ticks = 0;
    while (s.isBusy() && ticks < 1000) {
        tick(s, t++);
        ++ticks;
    }
    return ticks;
}

} // namespace

TEST(ShapeSprite, FallLandsOnTheFloorAndBouncesBackWithLessSpeed) {
    auto picture = solidImage(20, 10, kRed);
    ShapeSprite s;
    s.setImageGrid(picture.get(), 2, 1);
    s.setLocation(100, 200);
    // Seed 1 gives the classic sequence 41, 18467, ...: a throw up at 3 + 123/16384 and right at
    // 18467/4096 - 4 pixels per tick.
    CRandom::seed(1);
    s.startFall(300);
    EXPECT_EQ(s.getVelY(), -3.00750732421875f);
    EXPECT_EQ(s.getVelX(), 0.508544921875f);
    EXPECT_TRUE(s.isBusy());
    int32_t t = 0;
    tick(s, t++);
    EXPECT_EQ(s.getX(), 100);
    EXPECT_EQ(s.getY(), 196);
    EXPECT_EQ(fallUntilLanded(s, t), 20);
    EXPECT_EQ(s.getX(), 110);
    EXPECT_EQ(s.getY(), 300);
    const float landing = s.getVelY();
    EXPECT_FLOAT_EQ(landing, 13.7924948f);

    // Landing faster than 5 pixels per tick: back up at 0.65 of the speed, sideways reversed.
    s.startFall(300);
    EXPECT_EQ(s.getVelY(), landing * -0.65f);
    EXPECT_EQ(s.getVelX(), -0.508544921875f);
    EXPECT_EQ(s.getBounceCount(), 1);
    EXPECT_EQ(fallUntilLanded(s, t), 24);
    EXPECT_EQ(s.getX(), 97);
    EXPECT_EQ(s.getY(), 300);

    // Each bounce is lower; the sixth lands at 4.64 pixels per tick, and the next one keeps direction.
    for (int32_t bounce = 2; bounce <= 6; ++bounce) {
        s.startFall(300);
        fallUntilLanded(s, t);
    }
    EXPECT_LT(s.getVelY(), 5.0f);
    const float sideways = s.getVelX();
    s.startFall(300);
    EXPECT_EQ(s.getVelX(), sideways);
    EXPECT_EQ(s.getBounceCount(), 7);

    s.reset();
    EXPECT_FALSE(s.isBusy());
    EXPECT_FALSE(s.isShadowed());
    EXPECT_EQ(s.getVelY(), 0.0f);
    EXPECT_EQ(s.getBounceCount(), 0);
}

TEST(ShapeSprite, RevealBandGrowsFromTheMiddle) {
    auto picture = solidImage(8, 10, kRed);
    ShapeSprite s;
    s.setImageGrid(picture.get(), 2, 1); // cells of 4 x 10
    s.setLocation(1, 0);
    s.setRevealHalfHeight(1);
    tick(s, 0);
    EXPECT_EQ(s.getRevealHalfHeight(), 3);
    Target t(6, 10);
    s.paint(t.surface.get());
    EXPECT_EQ(t.column(1), "..RRRRRR..");
    EXPECT_EQ(t.column(4), "..RRRRRR..");
    EXPECT_EQ(t.column(5), "..........");
    tick(s, 1);
    EXPECT_EQ(s.getRevealHalfHeight(), 5); // 10 does not exceed the height yet
    tick(s, 2);
    EXPECT_EQ(s.getRevealHalfHeight(), -1);
}

TEST(ShapeSprite, ShadowGrowsTheBoundsAndMarkerSitsInTheMiddle) {
    auto picture = solidImage(6, 6, kRed);
    auto star = solidImage(2, 2, kGreen);
    ShapeSprite s;
    s.setImageGrid(picture.get(), 1, 1);
    s.setLocation(0, 0);
    s.startFall(0);
    int32_t t0 = 0;
    fallUntilLanded(s, t0);
    s.setLocation(0, 0); // a landed shape stays shadowed
    const Rectangle& b = s.getBounds();
    EXPECT_TRUE(b.sameAs(0, 0, 14, 14));

    Ref<Sprite> marker = make<Sprite>();
    marker->setImage(star.get());
    marker->setLocation(40, 40); // drawn centred on the shape wherever the marker itself is
    tick(*marker, 0);
    s.setMarkerSprite(marker.get());
    s.setCarriesPowerUp(true);
    tick(s, 0);
    EXPECT_FALSE(s.isBusy());
    Target t(16, 16);
    s.paint(t.surface.get());
    EXPECT_EQ(t.column(0), "RRRRRR..........");
    EXPECT_EQ(t.column(2), "RRGGRR..........");
    EXPECT_EQ(t.column(9), "........ssssss..");
    EXPECT_EQ(t.column(14), "................");

    Ref<Sprite> twin = adopt(s.clone());
    EXPECT_EQ(static_cast<ShapeSprite*>(twin.get())->getMarkerSprite(), marker.get());
    s.reset();
    EXPECT_TRUE(s.getBounds().sameAs(0, 0, 6, 6));
}
