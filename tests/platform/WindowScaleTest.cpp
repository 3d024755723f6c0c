// WindowScale: the picture's place and enlargement in windows of any size, the first window size on
// common desktops and the stored sizes that are used again.
#include "platform/WindowScale.h"

#include <gtest/gtest.h>

using mph::PictureFit;
using mph::WindowScale;

TEST(WindowScale, WholeScalesAreCrispAndOthersEnlargeByTheNextWholeNumberThenSmooth) {
    PictureFit f = WindowScale::fit(800, 600, 800, 600);
    EXPECT_TRUE(f.isWhole());
    EXPECT_EQ(f.whole, 1);
    EXPECT_EQ(f.x, 0);

    // A wider window keeps the aspect: 3x, with bars left and right.
    f = WindowScale::fit(800, 600, 2600, 1800);
    EXPECT_TRUE(f.isWhole());
    EXPECT_EQ(f.whole, 3);
    EXPECT_EQ(f.width, 2400);
    EXPECT_EQ(f.height, 1800);
    EXPECT_EQ(f.x, 100);
    EXPECT_EQ(f.y, 0);

    f = WindowScale::fit(800, 600, 1200, 1000);
    EXPECT_FALSE(f.isWhole());
    EXPECT_DOUBLE_EQ(f.scale, 1.5);
    EXPECT_EQ(f.whole, 2);
    EXPECT_EQ(f.width, 1200);
    EXPECT_EQ(f.height, 900);
    EXPECT_EQ(f.y, 50);

    // Smaller than the picture: smoothed down from the picture itself.
    f = WindowScale::fit(800, 600, 400, 300);
    EXPECT_FALSE(f.isWhole());
    EXPECT_EQ(f.whole, 1);
    EXPECT_EQ(f.width, 400);

    // The mouse: output points map back into the picture; the bars lie outside it.
    int x = 0, y = 0;
    f = WindowScale::fit(800, 600, 2600, 1800);
    WindowScale::toPicture(f, 100 + 3 * 408 + 2, 3 * 342, x, y);
    EXPECT_EQ(x, 408);
    EXPECT_EQ(y, 342);
    WindowScale::toPicture(f, 50, 10, x, y);
    EXPECT_LT(x, 0);
}

TEST(WindowScale, TheFirstSizeIsTheLargestWholeMultipleThatFitsWithATitleBar) {
    struct Case {
        int w, h, expected;
    };
    for (const Case c : {Case{1366, 768, 1}, Case{1920, 1080, 1}, Case{2560, 1440, 2}, Case{3840, 2160, 3},
                         Case{1024, 600, 1}, Case{5120, 2880, 4}}) {
        int w = 0, h = 0;
        WindowScale::firstSize(800, 600, lang::Rectangle(0, 0, c.w, c.h), w, h);
        EXPECT_EQ(w, 800 * c.expected) << c.w << "x" << c.h;
        EXPECT_EQ(h, 600 * c.expected) << c.w << "x" << c.h;
    }
    const lang::Rectangle desk(0, 0, 1920, 1040);
    EXPECT_TRUE(WindowScale::isSensible(1000, 750, 800, 600, desk));
    EXPECT_TRUE(WindowScale::isSensible(1920, 1040, 800, 600, desk));
    for (const auto& [w, h] : {std::pair{0, 0}, std::pair{-800, 600}, std::pair{2560, 1440},
                               std::pair{399, 600}, std::pair{100000, 100000}})
        EXPECT_FALSE(WindowScale::isSensible(w, h, 800, 600, desk)) << w << "x" << h;
}
