// The game's plain rules: the generator's draws, the level table, scores, the layout check and the
// board's frame choice and decks.
#include "rules/BoardRules.h"
#include "rules/Layout.h"
#include "rules/LevelTable.h"
#include "rules/Random.h"
#include "rules/Scoring.h"
#include "runtime/IntArray.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace mph;

namespace {

Layout layoutWith(std::vector<int32_t> framesPerKind) {
    lang::IntArray data;
    std::vector<int32_t> ints = {
        20, 40, 470, 400, 20, 460, 480, 80, static_cast<int32_t>(framesPerKind.size())};
    ints.insert(ints.end(), framesPerKind.begin(), framesPerKind.end());
    data.resize(static_cast<int32_t>(ints.size()));
    for (size_t i = 0; i < ints.size(); ++i)
        data[static_cast<int32_t>(i)] = ints[i];
    Layout layout;
    std::string error;
    EXPECT_TRUE(layout.read(data, error)) << error;
    layout.slotPitch = layout.rowPitch = layout.shapeWidth = layout.shapeHeight = 80;
    return layout;
}

} // namespace

TEST(Random, BoundedDrawsUseTheTopBitsAndNothingForEmptyRanges) {
    lang::Ref<Random> a = lang::make<Random>(1234);
    lang::Ref<Random> b = lang::make<Random>(1234);
    // Nothing is drawn for an empty range.
    EXPECT_EQ(a->nextInt(0), 0);
    EXPECT_EQ(a->nextInt(-5), 0);
    EXPECT_EQ(a->nextWord(), b->nextWord());
    // nextInt(3) is the top two bits of one word and never retries.
    for (int i = 0; i < 600; ++i)
        EXPECT_EQ(a->nextInt(3), static_cast<int32_t>(b->nextWord() >> 30));
    // Bounded draws stay in range across batch refills; another seed gives another sequence.
    lang::Ref<Random> c = lang::make<Random>(1235);
    int32_t differ = 0;
    for (int i = 0; i < 1000; ++i) {
        const int32_t v = a->nextInt(10);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 10);
        if (c->nextWord() != b->nextWord()) ++differ;
    }
    EXPECT_GT(differ, 990);
}

TEST(LevelTable, BonusRoundsAndTheLastRow) {
    EXPECT_EQ(LevelTable::modeFor(kTimedGame, 5), kBonusRound);
    EXPECT_EQ(LevelTable::modeFor(kBonusRound, 6), kTimedGame);
    EXPECT_EQ(LevelTable::modeFor(kRisingRows, 5), kRisingRows);
    const LevelParams bonus = LevelTable::params(5, kBonusRound);
    EXPECT_EQ(bonus.slotsPerRow, 7);
    EXPECT_EQ(bonus.frameCount, 10);
    EXPECT_EQ(bonus.wildcardEvery, 0);
    EXPECT_EQ(bonus.morphEvery, 0);
    EXPECT_EQ(LevelTable::params(6, kTimedGame).morphEvery, 53);
    EXPECT_EQ(LevelTable::params(16, kTimedGame).frameCount, 15);
    const LevelParams late = LevelTable::params(250, kTimedGame);
    EXPECT_EQ(late.frameCount, 20);
    EXPECT_EQ(late.tripleCount, 3);
    EXPECT_EQ(LevelTable::params(500, kBonusRound).slotsPerRow, LevelTable::kMaxSlotsPerRow);
}

TEST(Scoring, PlacementComboRowAndLevelEnd) {
    EXPECT_EQ(Scoring::placement(1, 140), 240);
    EXPECT_EQ(Scoring::placement(10, 0), 370);
    EXPECT_EQ(Scoring::combo(1, 1), 250);
    EXPECT_EQ(Scoring::combo(1, 2), 500);
    EXPECT_EQ(Scoring::morphBonus(2), 1750);
    // A lower row pays less: (5 - p)^2 + 3.
    EXPECT_EQ(Scoring::rowClear(4, 1, 80), 4 * 6 * 100);
    EXPECT_EQ(Scoring::rowClear(0, 1, 80), 28 * 6 * 100);
    EXPECT_EQ(Scoring::levelComplete(1, 50), (50 + 60) * 250);
    EXPECT_EQ(Scoring::bonusRound(7, 10), 42500);
    EXPECT_EQ(Scoring::comboSound(2), 9);
    EXPECT_EQ(Scoring::comboSound(4), 10);
    EXPECT_EQ(Scoring::comboSound(8), 11);
    EXPECT_EQ(Scoring::displayStep(0, 20000), 9111);
    EXPECT_EQ(Scoring::displayStep(995, 1000), 1000);
    EXPECT_EQ(Scoring::levelCompleteOpacity(49), 30);
    EXPECT_EQ(Scoring::levelCompleteOpacity(-11), 127);
    EXPECT_EQ(Scoring::levelCompleteOpacity(-5), -1);
}

TEST(Layout, DataWithTooFewKindsIsRefusedWithWhatIsMissing) {
    std::string error;
    // Thirteen ordinary kinds of four frames and a wildcard kind serve every level.
    Layout good = layoutWith(std::vector<int32_t>(13, 4));
    good.framesPerKind.push_back(8);
    good.firstFrameOfKind.push_back(52);
    EXPECT_TRUE(good.validate(75, error)) << error;
    // Twelve kinds cannot give level 15 its thirteen different kinds.
    Layout fewKinds = layoutWith({4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 8});
    EXPECT_FALSE(fewKinds.validate(75, error));
    EXPECT_NE(error.find("level 15 needs 13 different ordinary kinds"), std::string::npos) << error;
    // Kinds with fewer than four frames cannot make triples.
    std::vector<int32_t> narrow(13, 3);
    narrow.push_back(8);
    EXPECT_FALSE(layoutWith(narrow).validate(75, error));
    EXPECT_NE(error.find("at least 4 frames"), std::string::npos) << error;
    // More frames than the picture has cells.
    EXPECT_FALSE(good.validate(40, error));
}

TEST(BoardRules, FrameChoiceTriplesPairsAndTheDecoy) {
    std::vector<int32_t> kinds(14, 4);
    kinds.push_back(8);
    const Layout layout = layoutWith(kinds);
    lang::Ref<Random> random = lang::make<Random>(77);
    const LevelParams p = LevelTable::params(17, kTimedGame); // 15 frames, 2 pairs, 2 triples
    const BoardRules::FrameChoice c = BoardRules::chooseFrames(*random, layout, p, 17);
    ASSERT_EQ(c.frames.size(), 15u);
    std::map<int32_t, int32_t> perKind;
    for (size_t i = 0; i < c.frames.size(); ++i) {
        EXPECT_LT(c.kinds[i], 14); // never the wildcard kind
        EXPECT_EQ(c.frames[i] / 4, c.kinds[i]);
        ++perKind[c.kinds[i]];
    }
    // The triples come first: three neighbouring variants, then the decoy is the fourth variant.
    EXPECT_EQ(c.kinds[3], c.kinds[4]);
    EXPECT_EQ(c.kinds[4], c.kinds[5]);
    EXPECT_EQ(c.frames[4], 4 * c.kinds[3] + (c.frames[3] - 4 * c.kinds[3] + 1) % 4);
    EXPECT_EQ(c.decoyFrame, 4 * c.kinds[3] + (c.frames[3] - 4 * c.kinds[3] + 3) % 4);
    EXPECT_EQ(perKind.size(), 9u); // 15 frames - 2 pairs - 2 * 2 triples
    // At level 15 and below there is no decoy.
    EXPECT_EQ(BoardRules::chooseFrames(*random, layout, LevelTable::params(14, kTimedGame), 14).decoyFrame,
              -1);
}

TEST(BoardRules, DecksDealEveryFrameTwiceAndBonusDecksFollowTheColumns) {
    lang::Ref<Random> random = lang::make<Random>(5);
    const std::vector<int32_t> chosen = {3, 9, 14, 20, 27, 33};
    std::vector<int32_t> deck(12, -1);
    BoardRules::fillDeck(*random, deck, chosen, -1);
    for (int32_t f : chosen)
        EXPECT_EQ(std::count(deck.begin(), deck.end(), f), 2);
    BoardRules::fillDeck(*random, deck, chosen, 50);
    EXPECT_EQ(std::count(deck.begin(), deck.end(), 50), 2);

    // Two rows of three: each column's group holds exactly that column's frames.
    std::vector<int32_t> bonus(6, -1);
    BoardRules::fillBonusDeck(*random, bonus, {{1, 2, 3}, {4, 5, 6}});
    for (int c = 0; c < 3; ++c) {
        std::vector<int32_t> group(bonus.begin() + 2 * c, bonus.begin() + 2 * c + 2);
        std::sort(group.begin(), group.end());
        EXPECT_EQ(group, (std::vector<int32_t>{1 + c, 4 + c}));
    }
}

TEST(BoardRules, DealRuleNeverDealsASecondSpecialPiece) {
    LevelParams p;
    p.wildcardEvery = 53;
    p.morphEvery = 37;
    EXPECT_EQ(BoardRules::nextDeal(p, 53 * 37, false), BoardRules::Wildcard);
    EXPECT_EQ(BoardRules::nextDeal(p, 74, false), BoardRules::Morphing);
    EXPECT_EQ(BoardRules::nextDeal(p, 74, true), BoardRules::FromDeck);
    EXPECT_EQ(BoardRules::nextDeal(p, 75, false), BoardRules::FromDeck);
}
