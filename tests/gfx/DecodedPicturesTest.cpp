// The store of decoded pictures: shared pixels that stay apart once written, found by content, flags kept.
#include "TestPictures.h"

#include "gfx/DecodedPictures.h"
#include "gfx/Image.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct Keeping {
    Keeping() { mph::DecodedPictures::setKeeping(true); }
    ~Keeping() { mph::DecodedPictures::setKeeping(false); }
};

std::vector<uint32_t> pixelsOf(const mph::Image& image) {
    return {image.getPixels(), image.getPixels() + image.getWidth() * image.getHeight()};
}

} // namespace

TEST(DecodedPictures, SameBytesShareOnePictureUntilWrittenAndOtherBytesGetTheirOwn) {
    Keeping keeping;
    // 2x1 RGBA: opaque red, half-transparent blue.
    const testpics::Bytes first = testpics::writePng(2, 1, 6, 8, {255, 0, 0, 255, 0, 0, 255, 128});
    const testpics::Bytes other = testpics::writePng(2, 1, 6, 8, {255, 0, 0, 255, 0, 0, 254, 128});
    const testpics::Bytes opaque = testpics::writePng(2, 1, 2, 8, {1, 2, 3, 4, 5, 6});

    auto a = lang::make<mph::Image>(first.data(), first.size());
    ASSERT_TRUE(a->hasPixels());
    const std::vector<uint32_t> decoded = pixelsOf(*a);
    // What the holder of the first copy draws into never reaches the next one.
    a->getPixels()[0] = 0x12345678u;
    auto b = lang::make<mph::Image>(first.data(), first.size());
    EXPECT_EQ(pixelsOf(*b), decoded);
    EXPECT_TRUE(b->getAlphaFlag());
    EXPECT_NE(a->getPixels(), b->getPixels());

    // Later decodes share the remembered pixels; whoever writes (pixel access, clearing) gets a copy.
    auto e = lang::make<mph::Image>(first.data(), first.size());
    auto f = lang::make<mph::Image>(first.data(), first.size());
    ASSERT_TRUE(e->sharesPixels() && f->sharesPixels());
    EXPECT_EQ(std::as_const(*e).getPixels(), std::as_const(*f).getPixels());
    e->getPixels()[1] = 0x0BADF00Du;
    EXPECT_FALSE(e->sharesPixels());
    EXPECT_EQ(pixelsOf(*f), decoded);
    f->clearRect(0, 0, 1, 1);
    EXPECT_EQ(std::as_const(*f).getPixels()[0], 0u);
    auto g = lang::make<mph::Image>(first.data(), first.size());
    EXPECT_EQ(pixelsOf(*g), decoded);
    // Forgetting the store leaves the pictures that share its pixels whole.
    mph::DecodedPictures::setKeeping(false);
    EXPECT_EQ(pixelsOf(*g), decoded);
    g->free();
    EXPECT_FALSE(g->hasPixels());
    mph::DecodedPictures::setKeeping(true);

    auto c = lang::make<mph::Image>(other.data(), other.size());
    ASSERT_EQ(c->getWidth(), 2);
    EXPECT_EQ(c->getPixels()[0], decoded[0]);
    EXPECT_NE(c->getPixels()[1], decoded[1]);

    for (int round = 0; round < 2; ++round) {
        auto d = lang::make<mph::Image>(opaque.data(), opaque.size());
        ASSERT_EQ(d->getWidth(), 2);
        EXPECT_FALSE(d->getAlphaFlag());
        EXPECT_EQ(d->getPixels()[1] & 0xFFFFFFu, 0x040506u);
    }
}
