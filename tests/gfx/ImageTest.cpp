// Image storage: clearing, loading by name and the size limits.
#include "TestPictures.h"

#include "gfx/Image.h"
#include "gfx/ImageArray.h"
#include "io/ContainerWriter.h"
#include "io/Resources.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>

TEST(Image, ClearRectIsCutAtTheEdges) {
    auto image = lang::make<mph::Image>(50, 20, 0, false);
    std::fill(image->getPixels(), image->getPixels() + 50 * 20, 0xFFFFFFFFu);
    image->clearRect(40, 5, 100, 10);
    image->clearRect(-3, 18, 5, 100);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 50; ++x) {
            const bool cleared = (x >= 40 && y >= 5 && y < 15) || (x < 2 && y >= 18);
            ASSERT_EQ(image->getPixels()[y * 50 + x], cleared ? 0u : 0xFFFFFFFFu) << x << "," << y;
        }
    // Nothing happens past the bottom or with no width left.
    image->clearRect(0, 20, 50, 5);
    image->clearRect(50, 0, 5, 5);
    image->clearRect(-10, 0, 10, 5);
    EXPECT_EQ(image->getPixels()[0], 0xFFFFFFFFu);
    EXPECT_EQ(image->getPixels()[19 * 50 + 49], 0xFFFFFFFFu);
}

TEST(Image, SizeLimitsRefuseRatherThanAllocate) {
    EXPECT_TRUE(mph::Image::sizeAcceptable(16384, 4096));
    EXPECT_FALSE(mph::Image::sizeAcceptable(16385, 1));
    EXPECT_FALSE(mph::Image::sizeAcceptable(16384, 4097));
    EXPECT_FALSE(mph::Image::sizeAcceptable(0, 5));
    auto refused = lang::make<mph::Image>(70000, 2, 1, false);
    EXPECT_FALSE(refused->hasPixels());
    EXPECT_EQ(refused->getWidth(), 0);
    auto bitmap = lang::make<mph::Image>(3, 3, 0, true);
    ASSERT_TRUE(bitmap->hasPixels());
    EXPECT_TRUE(bitmap->hasBitmap());
    EXPECT_EQ(bitmap->getPixels()[8], 0u);
    EXPECT_EQ(bitmap->getStride(), 12);
    // A lowered limit refuses a decode above it after the header and is never raised above the maximum.
    const testpics::Bytes png =
        testpics::writePng(20, 10, PNG_COLOR_TYPE_RGB, 8, std::vector<uint16_t>(600, 7));
    mph::Image::limitPixels(199);
    EXPECT_FALSE(lang::make<mph::Image>(png.data(), png.size())->hasPixels());
    mph::Image::limitPixels(200);
    EXPECT_TRUE(lang::make<mph::Image>(png.data(), png.size())->hasPixels());
    mph::Image::limitPixels(mph::Image::kMaxPixels * 2);
    EXPECT_TRUE(mph::Image::sizeAcceptable(16384, 4096));
    EXPECT_FALSE(mph::Image::sizeAcceptable(16384, 4097));
}

TEST(Image, LoadsFilesByNameWithEitherSlash) {
    const std::string path = testpics::tempPath("load.png");
    ASSERT_TRUE(
        testpics::saveFile(path, testpics::writePng(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6})));
    std::string backslashed = path;
    for (char& c : backslashed)
        if (c == '/') c = '\\';
    auto image = lang::make<mph::Image>(lang::String(backslashed.c_str()));
    ASSERT_TRUE(image->hasPixels());
    EXPECT_EQ(image->getPixels()[1], 0xFF040506u);
    EXPECT_EQ(image->getName(), lang::String(backslashed.c_str()));

    // Loading again replaces the picture; a missing file leaves the image empty.
    EXPECT_FALSE(image->load(lang::String((path + ".missing").c_str())));
    EXPECT_FALSE(image->hasPixels());
    EXPECT_FALSE(image->getAlphaFlag());
    EXPECT_EQ(image->getWidth(), 0);
    std::remove(path.c_str());

    // A file larger than its first buffer is read whole.
    std::vector<uint16_t> noise(200 * 100 * 3);
    uint32_t seed = 7;
    for (auto& v : noise)
        v = static_cast<uint16_t>((seed = seed * 69069 + 1) >> 24);
    const auto big = testpics::writePng(200, 100, PNG_COLOR_TYPE_RGB, 8, noise);
    ASSERT_GT(big.size(), 8192u * 4);
    ASSERT_TRUE(testpics::saveFile(path, big));
    EXPECT_TRUE(image->load(lang::String(path.c_str())));
    EXPECT_EQ(image->getHeight(), 100);
    std::remove(path.c_str());
}

TEST(Image, LoadsContainerItemsByPlusName) {
    mph::ContainerWriter writer;
    writer.add("pic", testpics::writePng(3, 2, PNG_COLOR_TYPE_GRAY, 8, {1, 2, 3, 4, 5, 6}));
    writer.add("junk", {1, 2, 3, 4, 5, 6, 7, 8, 9});
    const std::string path = testpics::tempPath("pictures.bin");
    ASSERT_TRUE(testpics::saveFile(path, writer.toBytes()));
    mph::clearResourceFiles();
    mph::addResourceFile(lang::String(path.c_str()));
    auto image = lang::make<mph::Image>(lang::String("+pic"));
    ASSERT_TRUE(image->hasPixels());
    EXPECT_EQ(image->getPixels()[5], 0xFF060606u);
    EXPECT_FALSE(lang::make<mph::Image>(lang::String("+junk"))->hasPixels());
    EXPECT_FALSE(lang::make<mph::Image>(lang::String("+missing"))->hasPixels());
    // Without the "+" the name is a disk file, which does not exist.
    EXPECT_FALSE(lang::make<mph::Image>(lang::String("pic"))->hasPixels());
    mph::clearResourceFiles();
    EXPECT_FALSE(lang::make<mph::Image>(lang::String("+pic"))->hasPixels());
    std::remove(path.c_str());
}

TEST(ImageArray, HandsOutItsImagesBorrowed) {
    auto array = lang::make<mph::ImageArray>();
    auto image = lang::make<mph::Image>(1, 1, 1, false);
    array->resize(2);
    array->data[1] = image.get();
    EXPECT_EQ(array->imageAt(1), image.get());
    EXPECT_EQ(array->imageAt(0), nullptr);
    EXPECT_EQ(array->imageAt(2), nullptr);
    EXPECT_TRUE(array->instanceOf("objectarray"));
}
