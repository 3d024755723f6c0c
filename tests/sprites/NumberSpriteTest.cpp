// NumberSprite: glyph sequences of every style, the width of the rendering and the time value.
#include "SpriteTestSupport.h"

#include "runtime/Locale.h"
#include "sprites/NumberSprite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace lang;
using namespace mph;
using namespace spritetest;

namespace {

constexpr int32_t C = NumberSprite::Colon, M = NumberSprite::Minus, S = NumberSprite::CurrencySign,
                  Comma = NumberSprite::Comma, Dot = NumberSprite::Period;
constexpr int32_t d(int32_t digit) { return NumberSprite::Digit0 + digit; }

class NumberSpriteTest : public ::testing::Test {
protected:
    void SetUp() override { Locale::setOverride(',', '.'); }
    void TearDown() override { Locale::setOverride('\0', '\0'); }

    // A sprite over a strip of 10 x 12 glyphs.
    Ref<NumberSprite> number(int32_t style, int32_t value, int32_t minDigits = 0) {
        m_strip = solidImage(style == NumberSprite::Plain ? 100 : 150, 12, 0xFF000000u);
        auto n = make<NumberSprite>(style);
        n->setImage(m_strip.get());
        n->minDigits = minDigits;
        n->setValue(value);
        return n;
    }

    // The glyphs from left to right.
    static std::vector<int32_t> glyphs(const NumberSprite& n) {
        std::vector<int32_t> g;
        for (const auto& cell : n.layout()) g.push_back(cell.glyph);
        std::reverse(g.begin(), g.end());
        return g;
    }

    Ref<Image> m_strip;
};

} // namespace

TEST_F(NumberSpriteTest, DefaultStyleGroupsThousandsAndShowsMinus) {
    auto n = number(NumberSprite::Default, -1234567);
    EXPECT_EQ(glyphs(*n), (std::vector<int32_t>{M, d(1), Comma, d(2), d(3), d(4), Comma, d(5), d(6), d(7)}));
    Locale::setOverride('.', ',');
    EXPECT_EQ(glyphs(*n)[2], Dot);
    // Units: 14 digits' worth + 2 separators' worth + the minus: 14 + 2 + 2 = 18, so 90 pixels.
    EXPECT_EQ(n->getWidthUnits(), 18);
    EXPECT_EQ(n->pixelWidth(), 90);
}

TEST_F(NumberSpriteTest, CurrencyShowsCentsOnlyWhenThereAreAny) {
    EXPECT_EQ(glyphs(*number(NumberSprite::Currency, 1999)), (std::vector<int32_t>{S, d(1), d(9), Dot, d(9), d(9)}));
    EXPECT_EQ(glyphs(*number(NumberSprite::Currency, 2000)), (std::vector<int32_t>{S, d(2), d(0)}));
    EXPECT_EQ(glyphs(*number(NumberSprite::Currency, 5)), (std::vector<int32_t>{S, Dot, d(0), d(5)}));
    EXPECT_EQ(glyphs(*number(NumberSprite::Currency, 123456)),
              (std::vector<int32_t>{S, d(1), Comma, d(2), d(3), d(4), Dot, d(5), d(6)}));
}

TEST_F(NumberSpriteTest, TimeStyleShowsClockColons) {
    auto n = number(NumberSprite::Time, 59);
    EXPECT_EQ(glyphs(*n), (std::vector<int32_t>{d(5), d(9)}));
    n->minDigits = 4;
    n->setValue(61);
    EXPECT_EQ(glyphs(*n), (std::vector<int32_t>{d(0), d(1), C, d(0), d(1)}));
    n->minDigits = 0;
    n->setValue(3723);
    EXPECT_EQ(n->getRawValue(), 10203);
    EXPECT_EQ(glyphs(*n), (std::vector<int32_t>{d(1), C, d(0), d(2), C, d(0), d(3)}));
    EXPECT_EQ(n->getValue(), 203);
}

TEST_F(NumberSpriteTest, PlainStyleHasNoSignOrSeparators) {
    auto n = number(NumberSprite::Plain, -5);
    EXPECT_EQ(glyphs(*n), (std::vector<int32_t>{5}));
    n->setValue(1234567);
    EXPECT_EQ(glyphs(*n).size(), 7u);
    EXPECT_EQ(n->getGlyphWidth(), 10);
}

TEST_F(NumberSpriteTest, CellsAreLaidOutRightToLeftFromTheAlignment) {
    auto n = number(NumberSprite::Default, 1234);
    n->setAlignment(2);
    n->setLocation(200, 40);
    const auto cells = n->layout();
    ASSERT_EQ(cells.size(), 5u);
    EXPECT_EQ(cells[0].left, 190); // the 4 ends at the right edge
    EXPECT_EQ(cells[2].left, 170);
    EXPECT_EQ(cells[3].glyph, Comma);
    EXPECT_EQ(cells[3].left, 165); // a half-width separator
    EXPECT_EQ(cells[3].width, 5);
    EXPECT_EQ(cells[4].left, 155);
    // Units 8 + (8 - 2) / 6 = 9: 45 pixels, ending at x.
    EXPECT_TRUE(n->getBounds().sameAs(155, 40, 45, 12));
    n->minDigits = 6;
    EXPECT_EQ(glyphs(*n), (std::vector<int32_t>{d(0), d(0), d(1), Comma, d(2), d(3), d(4)}));
    n->setAlignment(7);
    EXPECT_TRUE(n->layout().empty());
    n->minDigits = 2000000000; // an absurd minimum stays bounded
    n->setAlignment(0);
    EXPECT_LE(n->layout().size(), 200u);
}

TEST_F(NumberSpriteTest, DefinitionAppliesValueBeforeStyle) {
    auto strip = solidImage(150, 12, 0xFF000000u);
    NumberSprite n;
    ASSERT_TRUE(n.initFromDefinition(*images({strip.get()}), *ints({5, 6, 0, 90, 3})));
    EXPECT_EQ(n.getRawValue(), 90); // stored before the time style was chosen
    n.setValue(90);
    EXPECT_EQ(n.getRawValue(), 130);
}
