// GraphicsW over a window picture: plain copies, fills, clips and change reports under the surface's lock.
#include "gfx/GraphicsW.h"
#include "gfx/Image.h"
#include "gfx/Region.h"
#include "gfx/WindowSurface.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>

#include <vector>

using lang::Ref;

namespace {

class FakeSurface : public mph::WindowSurface {
public:
    FakeSurface() : m_picture(lang::make<mph::Image>(8, 4, 1, true)) {}
    mph::Image* picture() override { return m_picture.get(); }
    void pictureChanged(const lang::Rectangle& area) override {
        EXPECT_GT(lockDepth(), 0); // reported while the drawing still holds the lock
        changes.push_back(area);
    }
    Ref<mph::Image> m_picture;
    std::vector<lang::Rectangle> changes;
};

} // namespace

TEST(GraphicsW, CopiesAndFillsUnderTheSurfaceLock) {
    Ref<FakeSurface> surface = lang::make<FakeSurface>();
    Ref<mph::GraphicsW> g = lang::make<mph::GraphicsW>(surface.get());
    Ref<mph::Image> src = lang::make<mph::Image>(2, 2, 1, false);
    std::fill(src->getPixels(), src->getPixels() + 4, 0x40FF0000u);
    src->setAlphaFlag(true);
    EXPECT_TRUE(g->drawImage(src.get(), 1, 1));
    // A plain copy: the alpha is not blended.
    EXPECT_EQ(surface->m_picture->getPixels()[1 * 8 + 1], 0x40FF0000u);
    ASSERT_EQ(surface->changes.size(), 1u);
    EXPECT_TRUE(surface->changes[0].sameAs(1, 1, 2, 2));
    Ref<mph::Image> empty = lang::make<mph::Image>();
    EXPECT_FALSE(g->drawImage(empty.get(), 0, 0));

    Ref<mph::Region> region = lang::make<mph::Region>();
    region->addRect(6, 0, 2, 4);
    g->setClip(region.get());
    g->setColor(lang::Color::fromArgb(0x00123456));
    g->fillRect(0, 0, 8, 4);
    EXPECT_EQ(surface->m_picture->getPixels()[7], 0xFF123456u);
    EXPECT_EQ(surface->m_picture->getPixels()[5], 0u);
    EXPECT_TRUE(surface->changes.back().sameAs(6, 0, 2, 4));
    // Pixel operations draw nothing on a window surface.
    g->drawLine(0, 3, 7, 3);
    EXPECT_EQ(g->getPixel(6, 3), 0u);
    EXPECT_EQ(surface->m_picture->getPixels()[3 * 8 + 6], 0xFF123456u);
    EXPECT_FALSE(g->drawShadow(src.get(), 0, 0));
    EXPECT_EQ(surface->lockDepth(), 0);
}

TEST(Region, UnionsOffsetsAndIntersections) {
    mph::Region r;
    EXPECT_TRUE(r.intersects(lang::Rectangle(0, 0, 1, 1))); // no region yet restricts nothing
    EXPECT_FALSE(r.intersects(lang::Rectangle(0, 0, 0, 5)));
    r.addRect(0, 0, 0, 10); // empty, ignored
    EXPECT_TRUE(r.isNull());
    r.addRect(0, 0, 4, 4);
    r.addRect(2, 2, 4, 4);
    EXPECT_TRUE(r.getBounds().sameAs(0, 0, 6, 6));
    EXPECT_FALSE(r.intersects(lang::Rectangle(4, 0, 2, 2)));
    r.offset(10, 0);
    EXPECT_TRUE(r.intersects(lang::Rectangle(14, 4, 1, 1)));
    EXPECT_FALSE(r.intersects(lang::Rectangle(0, 0, 4, 4)));
    mph::Region copy(r);
    r.clear();
    EXPECT_TRUE(r.isNull());
    EXPECT_EQ(copy.getRectCount(), 3);
}
