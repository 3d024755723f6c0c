// HighScoreSprite and recorded games: the play mark on personal rows that have a recording, the check
// mark on global rows the service verified, and the recording sent after a successful global submission
// (whose failure leaves the submission as it is).
#include "DialogFixture.h"
#include "ScoreServiceStub.h"

#include "scores/HighScoreSprite.h"
#include "scores/RecordedGames.h"
#include "sprites/TextSprite.h"

using namespace lang;
using namespace mph;

namespace {

// Knows one game: table "N", "Bo", level 4, score 700.
struct OneGame : RecordedGames {
    bool has(std::string_view mode, std::string_view name, int32_t level, int32_t score) override {
        return mode == "N" && name == "Bo" && level == 4 && score == 700;
    }
    std::string bytes(std::string_view mode, std::string_view name, int32_t level, int32_t score,
                      int32_t nonce) override {
        if (!has(mode, name, level, score)) return {};
        lastNonce = nonce;
        return std::string("MPHR\0\x01recording", 15);
    }
    int32_t lastNonce = 0;
};

class HighScoreReplayTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        useTexts({{"globsubmit", "Sending"}, {"hserror", "No answer"}});
        m_dialog = loadHighScores<HighScoreSprite>();
        HighScoreSprite::setRecordedGames(&m_games);
    }
    void TearDown() override {
        HighScoreSprite::setRecordedGames(nullptr);
        DialogFixture::TearDown();
    }
    OneGame m_games;
    Ref<HighScoreSprite> m_dialog;
};

std::string table() {
    return "<?xml version=\"1.0\"?><scores>"
           "<entry><name>Bo</name><score>700</score><level>4</level><verified>1</verified></entry>"
           "<entry><name>Cy</name><score>600</score><level>4</level></entry></scores>";
}

} // namespace

TEST_F(HighScoreReplayTest, OnlyPersonalRowsWithARecordingShowThePlayMarkLeftOfTheirRank) {
    m_dialog->recordScore("Al", "N", 5, 900);
    m_dialog->recordScore("Bo", "N", 4, 700);
    m_dialog->recordScore("Bo", "N", 3, 500); // same name, another game
    EXPECT_FALSE(m_dialog->getPlayMark(0)->isVisible());
    ASSERT_TRUE(m_dialog->getPlayMark(1)->isVisible());
    EXPECT_FALSE(m_dialog->getPlayMark(2)->isVisible());
    EXPECT_FALSE(m_dialog->getPlayMark(3)->isVisible());

    const Sprite* mark = m_dialog->getPlayMark(1);
    const TextSprite* rank = m_dialog->getRowText(31);
    EXPECT_EQ(mark->getX() + HighScoreSprite::kMarkWidth + 3, rank->getX() - rank->getWidth());
    EXPECT_EQ(mark->getY(),
              rank->getY() + 2 - HighScoreSprite::kFontHeight / 2 - HighScoreSprite::kMarkHeight / 2);
    // A triangle pointing right: its tip in the middle row, nothing above the tip's column.
    const Image* picture = mark->getImage();
    ASSERT_NE(picture, nullptr);
    const uint32_t* p = picture->getPixels();
    EXPECT_EQ(p[5 * 6 + 5], HighScoreSprite::kMarkColour);
    EXPECT_EQ(p[4 * 6 + 5], 0u);
    EXPECT_EQ(p[0 * 6 + 0], HighScoreSprite::kMarkColour);
    EXPECT_EQ(p[0 * 6 + 1], 0u);

    m_dialog->mouseDown(140, 310); // "bmode": the other table has no recordings
    EXPECT_FALSE(m_dialog->getPlayMark(1)->isVisible());
}

TEST_F(HighScoreReplayTest, ASuccessfulSubmissionSendsItsRecordingAndAFailedUploadChangesNothing) {
    bool uploadFails = false;
    ScoreServiceStub server([&](const std::string& target) {
        if (target == "/addreplay.jsp") return ScoreServiceStub::Reply{uploadFails ? 500 : 200, "ok"};
        return ScoreServiceStub::Reply{200, table()};
    });
    m_store->setString("HSURL", String(server.base().c_str()));
    m_dialog->submitGlobal("Bo", "N", 4, 700);
    std::vector<std::string> sent = server.targets();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].rfind("/addglobalhs.jsp?", 0), 0u);
    EXPECT_EQ(sent[1], "/addreplay.jsp");
    EXPECT_EQ(server.bodies()[1], std::string("MPHR\0\x01recording", 15));
    // The recording goes out with the nonce of the submission's token, which names the entry it verifies.
    const size_t token = sent[0].find("&score=") + 7;
    EXPECT_EQ(m_games.lastNonce, std::stoi(sent[0].substr(token, 3)));
    EXPECT_GT(m_games.lastNonce, 0);
    // The verified row has the check mark where a personal row has its play mark.
    const Sprite* check = m_dialog->getPlayMark(0);
    ASSERT_TRUE(check->isVisible());
    EXPECT_FALSE(m_dialog->getPlayMark(1)->isVisible());
    EXPECT_EQ(check->getWidth(), HighScoreSprite::kCheckWidth);
    const TextSprite* rank = m_dialog->getRowText(30);
    EXPECT_EQ(check->getX() + HighScoreSprite::kCheckWidth + 3, rank->getX() - rank->getWidth());
    const uint32_t* p = check->getImage()->getPixels();
    EXPECT_EQ(p[7 * HighScoreSprite::kCheckWidth + 3], HighScoreSprite::kMarkColour)
        << "the bottom of the tick";
    EXPECT_EQ(p[0 * HighScoreSprite::kCheckWidth + 8], HighScoreSprite::kMarkColour)
        << "the long stroke's end";
    EXPECT_EQ(p[0 * HighScoreSprite::kCheckWidth + 0], 0u);

    uploadFails = true;
    m_dialog->submitGlobal("Bo", "N", 4, 700);
    EXPECT_EQ(server.targets().size(), 4u);
    EXPECT_TRUE(m_dialog->getPendingSubmit().isEmpty());
    EXPECT_EQ(m_dialog->getRowText(0)->getText(), "Bo");
    EXPECT_TRUE(m_dialog->getRowText(0)->isVisible());

    // Without a recording of the game only the submission goes out.
    m_dialog->submitGlobal("Cy", "N", 4, 700);
    EXPECT_EQ(server.targets().size(), 5u);

    // A submission that failed sends its recording, with its own nonce, once a retry goes through.
    bool submitFails = true;
    ScoreServiceStub flaky([&](const std::string& target) {
        if (target == "/addreplay.jsp") return ScoreServiceStub::Reply{200, "ok"};
        return ScoreServiceStub::Reply{submitFails ? 500 : 200, submitFails ? "" : table()};
    });
    m_store->setString("HSURL", String(flaky.base().c_str()));
    m_dialog->submitGlobal("Bo", "N", 4, 700);
    ASSERT_EQ(flaky.targets().size(), 1u);
    m_games.lastNonce = 0;
    submitFails = false;
    m_dialog->mouseDown(320, 310); // "bretry"
    sent = flaky.targets();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1], sent[0]);
    EXPECT_EQ(sent[2], "/addreplay.jsp");
    EXPECT_EQ(m_games.lastNonce, std::stoi(sent[0].substr(sent[0].find("&score=") + 7, 3)));
}
