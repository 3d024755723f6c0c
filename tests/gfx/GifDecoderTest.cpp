// GIF decoding: transparency, interlacing, frame placement, LZW code handling and damaged files.
#include "TestPictures.h"

#include "gfx/Image.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>

#include <cstring>

using testpics::GifPicture;

namespace {

std::vector<uint32_t> pixelsOf(const mph::Image& image) {
    const uint32_t* p = image.getPixels();
    return {p, p + static_cast<size_t>(image.getWidth()) * image.getHeight()};
}

GifPicture pattern(int width, int height, int colourCount) {
    GifPicture p;
    p.screenWidth = p.width = width;
    p.screenHeight = p.height = height;
    for (int i = 0; i < colourCount; ++i)
        p.colours.push_back(static_cast<uint32_t>(i * 0x010305 + 0x102030) & 0xFFFFFF);
    p.minCodeSize = 1;
    while ((1 << p.minCodeSize) < colourCount)
        ++p.minCodeSize;
    if (p.minCodeSize < 2) p.minCodeSize = 2;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.indices.push_back(static_cast<uint8_t>((x * 3 + y * 7 + (x * y) % 5) % colourCount));
    return p;
}

// A stream that does not repeat itself much, so the string table fills up quickly.
GifPicture noisy(int width, int height) {
    GifPicture p = pattern(width, height, 256);
    uint32_t seed = 12345;
    for (auto& index : p.indices) {
        seed = seed * 1103515245 + 12345;
        index = static_cast<uint8_t>((seed >> 16) % 7 == 0 ? index : (seed >> 8));
    }
    return p;
}

lang::Ref<mph::Image> decode(const testpics::Bytes& bytes) {
    return lang::make<mph::Image>(bytes.data(), bytes.size());
}

} // namespace

TEST(GifDecoder, TransparentIndexGivesTransparentPixelsAndTheAlphaFlag) {
    GifPicture p = pattern(9, 7, 8);
    p.transparentIndex = 5;
    p.withComment = true;
    auto image = decode(testpics::writeGif(p));
    ASSERT_TRUE(image->hasPixels());
    EXPECT_TRUE(image->getAlphaFlag());
    EXPECT_TRUE(image->hasBitmap());
    const auto pixels = pixelsOf(*image);
    EXPECT_EQ(pixels, testpics::expectedGifPixels(p));
    for (size_t i = 0; i < pixels.size(); ++i)
        EXPECT_EQ(pixels[i] == 0, p.indices[i] == 5) << "pixel " << i;
}

TEST(GifDecoder, WithoutGraphicControlEveryPixelIsOpaque) {
    for (bool local : {false, true}) {
        GifPicture p = pattern(10, 6, 4);
        p.localTable = local;
        auto image = decode(testpics::writeGif(p));
        ASSERT_TRUE(image->hasPixels());
        EXPECT_FALSE(image->getAlphaFlag());
        EXPECT_EQ(pixelsOf(*image), testpics::expectedGifPixels(p));
        for (uint32_t pixel : pixelsOf(*image))
            EXPECT_EQ(pixel >> 24, 0xFFu);
    }
}

TEST(GifDecoder, InterlacedEqualsItsSequentialTwin) {
    // Heights that leave some of the four passes empty or short.
    for (int height : {1, 2, 3, 5, 8, 13, 21}) {
        GifPicture p = pattern(7, height, 16);
        auto plain = decode(testpics::writeGif(p));
        p.interlaced = true;
        auto interlaced = decode(testpics::writeGif(p));
        ASSERT_TRUE(plain->hasPixels() && interlaced->hasPixels());
        EXPECT_EQ(pixelsOf(*interlaced), pixelsOf(*plain)) << "height " << height;
        EXPECT_EQ(pixelsOf(*plain), testpics::expectedGifPixels(p));
    }
}

TEST(GifDecoder, SmallFrameSitsAtItsPositionInsideTransparentBlack) {
    GifPicture p = pattern(5, 4, 4);
    p.screenWidth = 12;
    p.screenHeight = 9;
    p.left = 6;
    p.top = 3;
    auto image = decode(testpics::writeGif(p));
    ASSERT_TRUE(image->hasPixels());
    EXPECT_EQ(image->getWidth(), 12);
    EXPECT_EQ(image->getHeight(), 9);
    EXPECT_EQ(pixelsOf(*image), testpics::expectedGifPixels(p));
    EXPECT_EQ(pixelsOf(*image)[0], 0u);
    EXPECT_NE(pixelsOf(*image)[3 * 12 + 6], 0u);
    // The uncovered pixels are transparent, so they must be drawn as such.
    EXPECT_TRUE(image->getAlphaFlag());

    // A frame reaching past the screen is cut at the screen's edges.
    p.left = 10;
    p.top = 7;
    auto cut = decode(testpics::writeGif(p));
    ASSERT_TRUE(cut->hasPixels());
    EXPECT_EQ(pixelsOf(*cut), testpics::expectedGifPixels(p));
}

TEST(GifDecoder, LzwClearCodesCodeGrowthAndFullTables) {
    GifPicture p = noisy(150, 120);
    auto grown = decode(testpics::writeGif(p));
    ASSERT_TRUE(grown->hasPixels());
    EXPECT_EQ(pixelsOf(*grown), testpics::expectedGifPixels(p));

    p.clearEvery = 37;
    auto cleared = decode(testpics::writeGif(p));
    ASSERT_TRUE(cleared->hasPixels());
    EXPECT_EQ(pixelsOf(*cleared), testpics::expectedGifPixels(p));

    // The table fills up and the encoder carries on at 12 bits without clearing it.
    p.clearEvery = 0;
    p.clearWhenFull = false;
    auto full = decode(testpics::writeGif(p));
    ASSERT_TRUE(full->hasPixels());
    EXPECT_EQ(pixelsOf(*full), testpics::expectedGifPixels(p));

    // Small starting code sizes grow through every width up to 12 bits.
    GifPicture two = pattern(200, 50, 4);
    two.minCodeSize = 2;
    auto small = decode(testpics::writeGif(two));
    ASSERT_TRUE(small->hasPixels());
    EXPECT_EQ(pixelsOf(*small), testpics::expectedGifPixels(two));
}

TEST(GifDecoder, CutOffFilesShowWhatTheyHoldAndNothingElse) {
    GifPicture p = noisy(40, 30);
    const testpics::Bytes whole = testpics::writeGif(p);
    const auto expected = testpics::expectedGifPixels(p);
    for (size_t length = 0; length < whole.size(); ++length) {
        auto image = lang::make<mph::Image>(whole.data(), length);
        if (!image->hasPixels()) continue;
        ASSERT_EQ(image->getWidth(), 40);
        const auto pixels = pixelsOf(*image);
        for (size_t i = 0; i < pixels.size(); ++i)
            ASSERT_TRUE(pixels[i] == expected[i] || pixels[i] == 0) << "length " << length << " pixel " << i;
    }
}

TEST(GifDecoder, DamagedCodeStreamsStopSafely) {
    // Header, a 4x1 screen with a two-colour global table, then an image with hand-made codes.
    testpics::Bytes head = {'G', 'I', 'F', '8', '7',  'a', 4, 0, 1, 0, 0x80, 0, 0, 0, 0,
                            0,   255, 255, 255, 0x2C, 0,   0, 0, 0, 4, 0,    1, 0, 0, 2};
    // Codes of 3 bits: clear (4), 1, then 7, which is past the next free code (6).
    testpics::Bytes past = head;
    past.insert(past.end(), {2, 0xCC, 0x01, 0, 0x3B});
    auto image = decode(past);
    ASSERT_TRUE(image->hasPixels());
    const auto pixels = pixelsOf(*image);
    EXPECT_EQ(pixels[0], 0xFFFFFFFFu);
    EXPECT_EQ(pixels[1], 0u);
    EXPECT_TRUE(image->getAlphaFlag());

    // Straight after a clear only single-byte codes are valid: 6 is refused.
    testpics::Bytes first = head;
    first.insert(first.end(), {1, 0x34, 0, 0x3B});
    auto none = decode(first);
    ASSERT_TRUE(none->hasPixels());
    EXPECT_EQ(pixelsOf(*none), std::vector<uint32_t>(4, 0u));

    // No colour table at all, a descriptor cut short, an unknown block: no picture.
    testpics::Bytes noTable = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0,    0,    0, 0x2C, 0,
                               0,   0,   0,   1,   0,   1,   0, 0, 2, 2, 0x44, 0x01, 0, 0x3B};
    EXPECT_FALSE(decode(noTable)->hasPixels());
    EXPECT_FALSE(decode(testpics::Bytes(head.begin(), head.begin() + 25))->hasPixels());
    testpics::Bytes unknown(head.begin(), head.begin() + 19);
    unknown.push_back(0x3B);
    EXPECT_FALSE(decode(unknown)->hasPixels());
}

TEST(GifDecoder, OversizedScreensAreRefused) {
    GifPicture p = pattern(2, 2, 2);
    p.screenWidth = 20000;
    EXPECT_FALSE(decode(testpics::writeGif(p))->hasPixels());
    p.screenWidth = 0;
    EXPECT_FALSE(decode(testpics::writeGif(p))->hasPixels());
}
