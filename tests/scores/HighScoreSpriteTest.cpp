// HighScoreSprite's personal side: qualification and ranks, the shared running number and clearing,
// scroll states, and the highlight colours.
#include "DialogFixture.h"

#include "scores/HighScoreSprite.h"
#include "sprites/TextSprite.h"

using namespace lang;
using namespace mph;

namespace {

class HighScoreSpriteTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        m_dialog = loadHighScores<HighScoreSprite>();
    }
    // The RGB a row text is drawn in, read from its rendered picture.
    uint32_t colourOf(int32_t text) {
        TextSprite* t = m_dialog->getRowText(text);
        t->setFontSmoothing(false);
        return t->getImage() != nullptr ? t->getImage()->getPixels()[0] & 0xFFFFFFu : 1;
    }
    Ref<HighScoreSprite> m_dialog;
};

} // namespace

TEST_F(HighScoreSpriteTest, QualifyingScoresEnterAtTheirRankAndTiesGoBelow) {
    for (int32_t s = 1000; s >= 100; s -= 100)
        m_store->insertScore("p", "S", 1, s, 0);
    EXPECT_FALSE(HighScoreSprite::qualifies(m_store.get(), "S", 100)) << "equal to the tenth";
    EXPECT_FALSE(HighScoreSprite::qualifies(m_store.get(), "N", 0));
    EXPECT_TRUE(HighScoreSprite::qualifies(m_store.get(), "N", 1));

    m_dialog->recordScore("tenth", "S", 3, 101);
    EXPECT_EQ(m_dialog->getHighlightRank(), 10);
    EXPECT_EQ(m_store->getString("MRUHSNAME", ""), "tenth");
    m_dialog->recordScore("tie", "S", 2, 500);
    EXPECT_EQ(m_dialog->getHighlightRank(), 7) << "below the older 500";
    EXPECT_EQ(m_dialog->getHighlightRow(), 6);
    const std::vector<ScoreRow> list = m_dialog->getList();
    ASSERT_EQ(list.size(), 10u);
    EXPECT_EQ(list[5].name, "p");
    EXPECT_EQ(list[6].name, "tie");
    EXPECT_EQ(list[9].score, 200) << "the tenth fell off";
    EXPECT_EQ(m_dialog->getRowText(36)->getText(), "7.");
    EXPECT_EQ(m_dialog->getRowText(16)->getText(), "2");
    EXPECT_EQ(m_dialog->getRowText(26)->getText(), "500");

    m_dialog->recordScore("none", "S", 1, 0);
    EXPECT_EQ(m_dialog->getHighlightRank(), -1) << "a score of 0 is never recorded";
    EXPECT_EQ(m_store->scoreCount("S"), 12); // the table in memory is not trimmed; ten are saved
}

TEST_F(HighScoreSpriteTest, ModesShareOneRunningNumberAndClearingOneRenumbersTheOther) {
    for (int32_t i = 0; i < 3; ++i)
        m_dialog->recordScore("s", "S", 1, 30 - i);
    for (int32_t i = 0; i < 2; ++i)
        m_dialog->recordScore("n", "N", 1, 20 - i);
    int32_t modes[2] = {0, 0};
    for (int32_t i = 0; i < 5; ++i)
        ++modes[m_store->getString(String("SCOREMODE") + i, "") == "S" ? 0 : 1];
    EXPECT_EQ(modes[0], 3);
    EXPECT_EQ(modes[1], 2);

    // The dialog shows "N" (the last recorded); "clear" asks first, "bnoclear" keeps the table.
    EXPECT_EQ(m_dialog->mouseDown(20, 310), DialogSprite::ButtonPressed);
    EXPECT_TRUE(m_dialog->isConfirming());
    EXPECT_EQ(m_dialog->mouseDown(20, 310), DialogSprite::Consumed) << "only the prompt takes presses";
    EXPECT_EQ(m_dialog->mouseDown(210, 160), DialogSprite::Consumed);
    EXPECT_FALSE(m_dialog->isConfirming());
    EXPECT_EQ(m_store->scoreCount("N"), 2);

    m_dialog->mouseDown(20, 310);
    m_dialog->mouseDown(120, 160);
    EXPECT_FALSE(m_dialog->isConfirming());
    EXPECT_EQ(m_store->scoreCount("N"), 0);
    EXPECT_TRUE(m_dialog->getList().empty());
    EXPECT_EQ(stateOf(*m_dialog, "clear"), ButtonSprite::Disabled);
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(m_store->getInt(String("SCORE") + i, -1), 30 - i);
    EXPECT_EQ(m_store->getInt("SCORE3", -1), -1);
    EXPECT_EQ(m_store->getString("SCORENAME4", "gone"), "gone");
}

TEST_F(HighScoreSpriteTest, SevenEntriesCannotScrollAndModeSwitchesTables) {
    for (int32_t i = 0; i < 7; ++i)
        m_store->insertScore("s", "S", 0, 70 - i, 0);
    m_dialog->showView(false);
    EXPECT_EQ(m_dialog->getList().size(), 7u);
    EXPECT_EQ(stateOf(*m_dialog, "bsup"), ButtonSprite::Disabled);
    EXPECT_EQ(stateOf(*m_dialog, "bsdown"), ButtonSprite::Disabled);
    EXPECT_EQ(stateOf(*m_dialog, "bpersonal"), ButtonSprite::Disabled);
    EXPECT_EQ(stateOf(*m_dialog, "bglobals"), ButtonSprite::Normal);
    EXPECT_FALSE(m_dialog->getRowText(10)->isVisible()) << "level 0 is not shown";
    EXPECT_FALSE(m_dialog->getRowText(7)->isVisible());

    EXPECT_EQ(m_dialog->mouseDown(140, 310), DialogSprite::ButtonPressed); // "bmode"
    EXPECT_EQ(m_dialog->getMode(), "N");
    EXPECT_TRUE(m_dialog->getList().empty());
    EXPECT_EQ(m_dialog->mouseDown(80, 310), HighScoreSprite::Closed);
    EXPECT_EQ(m_dialog->mouseDown(600, 10), DialogSprite::Consumed) << "nothing under the dialog reacts";
}

TEST_F(HighScoreSpriteTest, HighlightedRowCyclesThePaletteOneStepPerTick) {
    for (int32_t i = 0; i < 3; ++i)
        m_store->insertScore("s", "S", 4, 300 - 100 * i, 0);
    m_dialog->recordScore("me", "S", 2, 250);
    ASSERT_EQ(m_dialog->getHighlightRow(), 1);
    EXPECT_EQ(colourOf(1), 0xFFFF00u) << "yellow until the first tick";
    EXPECT_EQ(colourOf(0), 0xFFFFFFu);
    for (int32_t t = 17; t <= 18; ++t) {
        tick(*m_dialog, t);
        const int32_t texts[] = {1, 11, 21, 31}; // name, level, score, rank
        for (int32_t k = 0; k < 4; ++k)
            EXPECT_EQ(colourOf(texts[k]), HighScoreSprite::kPalette[(t + k) % 19]) << t << " " << k;
    }
    EXPECT_EQ(colourOf(2), 0xFFFFFFu);
}
