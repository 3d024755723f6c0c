// PNG and JPEG decoding against pixels written by libpng and libjpeg, and format recognition.
#include "TestPictures.h"

#include "gfx/Image.h"
#include "gfx/PngWriter.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdlib>

namespace {

lang::Ref<mph::Image> decode(const testpics::Bytes& bytes) {
    return lang::make<mph::Image>(bytes.data(), bytes.size());
}

uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return a << 24 | r << 16 | g << 8 | b;
}

} // namespace

TEST(PngDecoder, EveryChannelLayoutBecomesArgb) {
    const int w = 3, h = 2;
    {
        std::vector<uint16_t> grey = {0, 17, 34, 200, 254, 255};
        auto image = decode(testpics::writePng(w, h, PNG_COLOR_TYPE_GRAY, 8, grey));
        ASSERT_TRUE(image->hasPixels());
        EXPECT_FALSE(image->getAlphaFlag());
        EXPECT_FALSE(image->hasBitmap());
        for (int i = 0; i < w * h; ++i)
            EXPECT_EQ(image->getPixels()[i], argb(255, grey[i], grey[i], grey[i]));
    }
    {
        std::vector<uint16_t> greyAlpha = {10, 0, 20, 128, 30, 255, 40, 1, 50, 2, 60, 3};
        auto image = decode(testpics::writePng(w, h, PNG_COLOR_TYPE_GRAY_ALPHA, 8, greyAlpha));
        ASSERT_TRUE(image->hasPixels());
        EXPECT_FALSE(image->getAlphaFlag());
        for (int i = 0; i < w * h; ++i) {
            const uint32_t g = greyAlpha[i * 2];
            EXPECT_EQ(image->getPixels()[i], argb(greyAlpha[i * 2 + 1], g, g, g));
        }
    }
    {
        std::vector<uint16_t> rgb = {1, 2, 3, 250, 0, 0, 0, 250, 0, 0, 0, 250, 9, 8, 7, 255, 255, 255};
        auto image = decode(testpics::writePng(w, h, PNG_COLOR_TYPE_RGB, 8, rgb));
        ASSERT_TRUE(image->hasPixels());
        EXPECT_FALSE(image->getAlphaFlag());
        for (int i = 0; i < w * h; ++i)
            EXPECT_EQ(image->getPixels()[i], argb(255, rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]));
        // Sixteen-bit samples keep their high bytes.
        std::vector<uint16_t> wide;
        for (uint16_t v : rgb)
            wide.push_back(static_cast<uint16_t>(v << 8 | 0x7F));
        auto deep = decode(testpics::writePng(w, h, PNG_COLOR_TYPE_RGB, 16, wide));
        ASSERT_TRUE(deep->hasPixels());
        for (int i = 0; i < w * h; ++i)
            EXPECT_EQ(deep->getPixels()[i], image->getPixels()[i]);
    }
    {
        std::vector<uint16_t> rgba = {1, 2, 3,   0,   250, 0, 0, 64, 0, 250, 0, 128,
                                      0, 0, 250, 255, 9,   8, 7, 1,  5, 5,   5, 5};
        auto image = decode(testpics::writePng(w, h, PNG_COLOR_TYPE_RGB_ALPHA, 8, rgba));
        ASSERT_TRUE(image->hasPixels());
        EXPECT_TRUE(image->getAlphaFlag());
        for (int i = 0; i < w * h; ++i)
            EXPECT_EQ(image->getPixels()[i],
                      argb(rgba[i * 4 + 3], rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2]));
    }
}

TEST(PngDecoder, PalettesWithTransparencyAndLowBitDepths) {
    const std::vector<uint32_t> palette = {0x112233, 0x445566, 0x778899, 0xAABBCC};
    const std::vector<uint16_t> indices = {0, 1, 2, 3, 3, 2, 1, 0};
    auto opaque = decode(testpics::writePng(4, 2, PNG_COLOR_TYPE_PALETTE, 2, indices, palette));
    ASSERT_TRUE(opaque->hasPixels());
    EXPECT_FALSE(opaque->getAlphaFlag());
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(opaque->getPixels()[i], 0xFF000000u | palette[indices[i]]);

    auto clear = decode(testpics::writePng(4, 2, PNG_COLOR_TYPE_PALETTE, 8, indices, palette, {0, 100}));
    ASSERT_TRUE(clear->hasPixels());
    EXPECT_TRUE(clear->getAlphaFlag());
    const uint32_t alpha[4] = {0, 100, 255, 255};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(clear->getPixels()[i], alpha[indices[i]] << 24 | palette[indices[i]]);

    // One-bit grey expands to 0 and 255.
    auto bits = decode(testpics::writePng(4, 1, PNG_COLOR_TYPE_GRAY, 1, {0, 1, 1, 0}));
    ASSERT_TRUE(bits->hasPixels());
    EXPECT_EQ(bits->getPixels()[0], 0xFF000000u);
    EXPECT_EQ(bits->getPixels()[1], 0xFFFFFFFFu);
}

TEST(PngDecoder, DamagedFilesGiveNoPicture) {
    std::vector<uint16_t> rgb(30 * 20 * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<uint16_t>(i * 7 % 256);
    const auto whole = testpics::writePng(30, 20, PNG_COLOR_TYPE_RGB, 8, rgb);
    for (size_t cut : {8ul, 20ul, 40ul, whole.size() / 2, whole.size() - 13})
        EXPECT_FALSE(lang::make<mph::Image>(whole.data(), cut)->hasPixels()) << cut;
    auto corrupt = whole;
    corrupt[whole.size() / 2] ^= 0x55;
    EXPECT_FALSE(decode(corrupt)->hasPixels());
    // A header that claims an oversized picture is refused before anything is allocated.
    for (uint8_t sizeByte : {0x40, 0x20}) {
        auto huge = testpics::writePng(1, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3});
        huge[18] = sizeByte; // width 0x400001 or 0x200001 ...
        huge[22] = 0x20;     // ... and height 0x200001
        const uint32_t crc = static_cast<uint32_t>(crc32(0, huge.data() + 12, 17));
        for (int i = 0; i < 4; ++i)
            huge[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        EXPECT_FALSE(decode(huge)->hasPixels());
    }
}

TEST(PngWriter, RoundTripKeepsEveryPixelExactly) {
    auto image = lang::make<mph::Image>(5, 3, 0, false);
    for (int i = 0; i < 15; ++i)
        image->getPixels()[i] = static_cast<uint32_t>(i) * 0x11223344u + 0x00FF0000u * (i % 3);
    std::vector<uint8_t> png;
    ASSERT_TRUE(mph::PngWriter::encode(*image, png));
    auto back = decode(png);
    ASSERT_TRUE(back->hasPixels());
    EXPECT_TRUE(back->getAlphaFlag());
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(back->getPixels()[i], image->getPixels()[i]) << i;
    mph::Image empty;
    EXPECT_FALSE(mph::PngWriter::encode(empty, png));
    EXPECT_FALSE(mph::PngWriter::writeFile(*image, "/nonexistent-dir/x.png"));
}

TEST(JpegDecoder, FlatColoursComeBackOpaqueWithinASmallTolerance) {
    const int w = 16, h = 8;
    auto near = [](uint32_t pixel, uint32_t r, uint32_t g, uint32_t b) {
        auto close = [](uint32_t a, uint32_t e) { return a + 3 >= e && a <= e + 3; };
        return pixel >> 24 == 0xFF && close(pixel >> 16 & 0xFF, r) && close(pixel >> 8 & 0xFF, g) &&
               close(pixel & 0xFF, b);
    };
    std::vector<uint8_t> rgb;
    for (int i = 0; i < w * h; ++i)
        rgb.insert(rgb.end(), {200, 100, 50});
    auto colour = decode(testpics::writeJpeg(w, h, 3, rgb));
    ASSERT_TRUE(colour->hasPixels());
    EXPECT_EQ(colour->getWidth(), w);
    EXPECT_FALSE(colour->getAlphaFlag());
    EXPECT_FALSE(colour->hasBitmap());
    for (int i = 0; i < w * h; ++i)
        EXPECT_TRUE(near(colour->getPixels()[i], 200, 100, 50)) << std::hex << colour->getPixels()[i];

    auto grey = decode(testpics::writeJpeg(w, h, 1, std::vector<uint8_t>(w * h, 90)));
    ASSERT_TRUE(grey->hasPixels());
    for (int i = 0; i < w * h; ++i)
        EXPECT_TRUE(near(grey->getPixels()[i], 90, 90, 90));

    // CMYK as Adobe stores it (inverted): cyan 0, magenta 255, yellow 255, black 0 is red.
    std::vector<uint8_t> cmyk;
    for (int i = 0; i < w * h; ++i)
        cmyk.insert(cmyk.end(), {255, 0, 0, 255});
    auto red = decode(testpics::writeJpeg(w, h, 4, cmyk));
    ASSERT_TRUE(red->hasPixels());
    for (int i = 0; i < w * h; ++i)
        EXPECT_TRUE(near(red->getPixels()[i], 255, 0, 0)) << std::hex << red->getPixels()[i];
}

TEST(JpegDecoder, DamagedAndUnknownBuffersLeaveTheImageEmpty) {
    const uint8_t notGif[7] = {'G', 'I', 'F', '8', '8', 'a', 0};
    EXPECT_FALSE(lang::make<mph::Image>(notGif, 7)->hasPixels());
    const uint8_t gifSignatureOnly[6] = {'G', 'I', 'F', '8', '9', 'a'};
    EXPECT_FALSE(lang::make<mph::Image>(gifSignatureOnly, 6)->hasPixels());
    EXPECT_FALSE(lang::make<mph::Image>(nullptr, 100)->hasPixels());

    std::vector<uint8_t> rgb(24 * 24 * 3, 77);
    const auto whole = testpics::writeJpeg(24, 24, 3, rgb);
    EXPECT_FALSE(lang::make<mph::Image>(whole.data(), 100)->hasPixels());
    // Cut inside the picture data: whatever comes back is fully initialised and opaque.
    auto part = lang::make<mph::Image>(whole.data(), whole.size() - 40);
    if (part->hasPixels()) {
        for (int i = 0; i < 24 * 24; ++i)
            EXPECT_EQ(part->getPixels()[i] >> 24, 0xFFu);
    }
}
