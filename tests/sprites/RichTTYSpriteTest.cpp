// RichTTYSprite: markup, colours and styles, word wrap and scrolling.
#include "SpriteTestSupport.h"

#include "sprites/RichTTYSprite.h"

#include <gtest/gtest.h>

using namespace lang;
using namespace mph;
using namespace spritetest;

namespace {

// A console whose characters are all 6 pixels wide: 64 pixels give a wrap width of 60, ten characters.
class FixedConsole : public RichTTYSprite {
public:
    FixedConsole(int32_t lines, bool keepHistory) {
        configureLayout(64, 4 + 10 * lines, 10, 8, 0xFFFFFFFFu, std::nullopt, keepHistory);
    }

protected:
    int32_t textWidth(const String& text) const override { return 6 * text.length(); }
};

} // namespace

TEST(RichTTYSprite, ColourMarkupAndStyles) {
    FixedConsole tty(3, true);
    tty.print("a`Cff0000b`nc``d`bB`/bi`i`c0f0j");
    const auto cells = tty.historyLine(0);
    ASSERT_EQ(cells.size(), 8u);
    EXPECT_EQ(tty.lineText(0), "abc`dBij");
    const int32_t white = RichTTYSprite::colourBits(0xFFFFFFFFu);
    EXPECT_EQ(cells[0], white | 'a');
    EXPECT_EQ(cells[1] & RichTTYSprite::kColourMask, 0x0F000000);
    EXPECT_EQ(RichTTYSprite::cellColour(cells[1]).getValue(), Color(240, 0, 0).getValue());
    EXPECT_EQ(cells[2], white | 'c');
    EXPECT_EQ(cells[3], white | '`');
    EXPECT_EQ(cells[5], white | RichTTYSprite::kBold | 'B');
    EXPECT_EQ(cells[6], white | 'i');
    EXPECT_EQ(cells[7], 0x00F00000 | RichTTYSprite::kItalic | 'j');
}

TEST(RichTTYSprite, WordsThatDoNotFitMoveWholeAndLongWordsBreak) {
    FixedConsole tty(4, true);
    tty.print("hello big world");
    EXPECT_EQ(tty.lineText(0), "hello big ");
    EXPECT_EQ(tty.lineText(1), "world");
    tty.print("`l");
    tty.print("abcdefghijklmnop");
    EXPECT_EQ(tty.lineText(2), "abcdefghijk");
    EXPECT_EQ(tty.lineText(3), "lmnop");
}

TEST(RichTTYSprite, Latin1LettersArePrintedAndControlBytesDropped) {
    // Translated messages are Latin-1: "Prüfe", with the C1 control byte 0x85 and a tab ignored.
    FixedConsole tty(2, true);
    tty.print("Pr\xfc"
              "fe\x85\t \xa9\xff");
    EXPECT_EQ(tty.lineText(0), "Pr\xfc"
                               "fe \xa9\xff");
}

TEST(RichTTYSprite, LineFeedsScrollWithoutHistory) {
    FixedConsole tty(2, false);
    tty.print("one`ltwo`lthree");
    EXPECT_EQ(tty.getHistorySize(), 2);
    EXPECT_EQ(tty.lineText(0), "two");
    EXPECT_EQ(tty.lineText(1), "three");
    tty.print("\rTH");
    EXPECT_EQ(tty.lineText(1), "THree");

    FixedConsole kept(2, true);
    kept.print("one`ltwo`lthree");
    EXPECT_EQ(kept.getHistorySize(), 3);
    EXPECT_EQ(kept.lineText(0), "one");
    kept.setScrollOffset(99);
    EXPECT_EQ(kept.getScrollOffset(), 1);
    EXPECT_EQ(kept.lineText(1), "three");
    kept.clear();
    EXPECT_EQ(kept.getHistorySize(), 2);
    EXPECT_EQ(kept.lineText(0), "");
}

TEST(RichTTYSprite, DefinitionNeedsSixNumbersAndUnfinishedMarkupIsSafe) {
    RichTTYSprite tty;
    EXPECT_FALSE(tty.initFromDefinition(*images({}), *ints({0, 0, 100, 50, 12})));
    FixedConsole console(1, true);
    console.print("x`");
    console.print("y`/");
    console.print("z`C1");
    EXPECT_EQ(console.lineText(0), "xyz");
    EXPECT_EQ(console.getCurrentColour(), 0x01000000); // missing hex digits count as 0
}
