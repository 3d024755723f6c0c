// HighScoreSprite and recorded games: the play mark on rows whose recording can be watched and what
// pressing it does, the check mark and legend of rows the service verified, and the recording sent after a
// successful global submission (whose failure leaves the submission as it is).
#include "DialogFixture.h"
#include "ScoreServiceStub.h"

#include "scores/HighScoreSprite.h"
#include "scores/RecordedGames.h"
#include "scores/RecordingViewer.h"
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

// Takes every recording it is given, unless told to refuse with a problem.
struct Viewer : RecordingViewer {
    bool watch(std::string_view bytes, const char*& problem) override {
        given.emplace_back(bytes);
        if (refusal != nullptr) {
            problem = refusal;
            return false;
        }
        return true;
    }
    bool isWatching() override { return false; }
    std::vector<std::string> given;
    const char* refusal = nullptr;
};

class HighScoreReplayTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        useTexts({{"globsubmit", "Sending"},
                  {"hserror", "No answer"},
                  {"hslegend", "checked"},
                  {"replayfailed", "Not fetched"},
                  {"replaybad", "Damaged"}});
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

std::string table(bool verified = true) {
    return std::string("<?xml version=\"1.0\"?><scores>"
                       "<entry><name>Bo</name><score>700</score><level>4</level>") +
           (verified ? "<verified>1</verified>" : "") +
           "</entry><entry><name>Cy</name><score>600</score><level>4</level></entry></scores>";
}

// Ana's verified game has its recording kept as 17, Bo's as 18; Cy's is verified without one, Di's not.
std::string watchableTable() {
    return "<?xml version=\"1.0\"?><scores>"
           "<entry><name>Ana</name><score>900</score><level>5</level><verified>1</verified>"
           "<replay>17</replay></entry>"
           "<entry><name>Bo</name><score>800</score><level>5</level><verified>1</verified>"
           "<replay> 18 </replay></entry>"
           "<entry><name>Cy</name><score>700</score><level>4</level><verified>1</verified></entry>"
           "<entry><name>Di</name><score>600</score><level>4</level><replay>19</replay></entry>"
           "<entry><name>Ed</name><score>500</score><level>3</level><verified>1</verified>"
           "<replay>../admin</replay></entry></scores>";
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
    constexpr int32_t w = HighScoreSprite::kMarkWidth;
    EXPECT_EQ(p[6 * w + w - 1], HighScoreSprite::kMarkColour);
    EXPECT_EQ(p[5 * w + w - 1], 0u);
    EXPECT_EQ(p[0 * w + 0], HighScoreSprite::kMarkColour);
    EXPECT_EQ(p[0 * w + 1], 0u);

    m_dialog->mouseDown(140, 310); // "bmode": the other table has no recordings
    EXPECT_FALSE(m_dialog->getPlayMark(1)->isVisible());
}

TEST_F(HighScoreReplayTest, ASuccessfulSubmissionSendsItsRecordingAndAFailedUploadChangesNothing) {
    bool uploadFails = false;
    ScoreServiceStub server([&](const std::string& target) {
        if (target == "/addreplay.jsp") return ScoreServiceStub::Reply{uploadFails ? 500 : 200, "ok"};
        // The submission's answer comes before the recording is checked; the table after shows it.
        return ScoreServiceStub::Reply{200, table(target.rfind("/globalhs.jsp", 0) == 0)};
    });
    m_store->setString("HSURL", String(server.base().c_str()));
    m_dialog->submitGlobal("Bo", "N", 4, 700);
    std::vector<std::string> sent = server.targets();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].rfind("/addglobalhs.jsp?", 0), 0u);
    EXPECT_EQ(sent[1], "/addreplay.jsp");
    // Once the recording verified, the table comes again, with the check mark the submission's had not.
    EXPECT_EQ(sent[2], "/globalhs.jsp?game=mphl&mode=N");
    EXPECT_EQ(server.bodies()[1], std::string("MPHR\0\x01recording", 15));
    // The recording goes out with the nonce of the submission's token, which names the entry it verifies.
    const size_t token = sent[0].find("&score=") + 7;
    EXPECT_EQ(m_games.lastNonce, std::stoi(sent[0].substr(token, 3)));
    EXPECT_GT(m_games.lastNonce, 0);
    // The verified row has the check mark where a personal row has its play mark.
    const Sprite* check = m_dialog->getCheckMark(0);
    ASSERT_TRUE(check->isVisible());
    EXPECT_FALSE(m_dialog->getCheckMark(1)->isVisible());
    EXPECT_FALSE(m_dialog->getPlayMark(0)->isVisible()) << "the service keeps no recording of it";
    EXPECT_EQ(check->getWidth(), HighScoreSprite::kCheckWidth);
    const TextSprite* rank = m_dialog->getRowText(30);
    EXPECT_EQ(check->getX() + HighScoreSprite::kCheckWidth + 3, rank->getX() - rank->getWidth());
    const uint32_t* p = check->getImage()->getPixels();
    constexpr int32_t w = HighScoreSprite::kCheckWidth;
    EXPECT_EQ(p[(HighScoreSprite::kCheckHeight - 1) * w + 4], HighScoreSprite::kMarkColour)
        << "the bottom of the tick";
    EXPECT_EQ(p[0 * w + w - 1], HighScoreSprite::kMarkColour) << "the long stroke's end";
    EXPECT_EQ(p[0 * w + 0], 0u);

    uploadFails = true;
    m_dialog->submitGlobal("Bo", "N", 4, 700);
    EXPECT_EQ(server.targets().size(), 5u) << "an upload that failed fetches nothing more";
    EXPECT_TRUE(m_dialog->getPendingSubmit().isEmpty());
    EXPECT_EQ(m_dialog->getRowText(0)->getText(), "Bo");
    EXPECT_TRUE(m_dialog->getRowText(0)->isVisible());

    // Without a recording of the game only the submission goes out.
    m_dialog->submitGlobal("Cy", "N", 4, 700);
    EXPECT_EQ(server.targets().size(), 6u);

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
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[1], sent[0]);
    EXPECT_EQ(sent[2], "/addreplay.jsp");
    EXPECT_EQ(m_games.lastNonce, std::stoi(sent[0].substr(sent[0].find("&score=") + 7, 3)));
}

TEST_F(HighScoreReplayTest, AWorldRowWithAKeptRecordingPlaysItAndAFailedDownloadOnlySaysSoForAWhile) {
    ScoreServiceStub server([](const std::string& target) {
        if (target == "/replay/17") return ScoreServiceStub::Reply{200, "recording 17"};
        if (target == "/replay/18") return ScoreServiceStub::Reply{404, "not found"};
        return ScoreServiceStub::Reply{200, watchableTable()};
    });
    Viewer viewer;
    m_dialog->setViewer(&viewer);
    m_store->setString("HSURL", String(server.base().c_str()));
    m_dialog->setMode("S");
    m_dialog->showView(true);
    // A play mark only where a verified game's recording is kept under a plain number; every verified row
    // has its check mark between the play mark and the rank.
    const bool play[] = {true, true, false, false, false};
    const bool check[] = {true, true, true, false, true};
    for (int32_t r = 0; r < 5; ++r) {
        EXPECT_EQ(m_dialog->getPlayMark(r)->isVisible(), play[r]) << r;
        EXPECT_EQ(m_dialog->getCheckMark(r)->isVisible(), check[r]) << r;
    }
    const Sprite* mark = m_dialog->getPlayMark(0);
    EXPECT_EQ(mark->getX() + HighScoreSprite::kMarkWidth + 3, m_dialog->getCheckMark(0)->getX());
    // The legend sits under the table in the world view only.
    ASSERT_TRUE(m_dialog->getLegendText()->isVisible());
    EXPECT_EQ(m_dialog->getLegendText()->getText(), "checked");
    EXPECT_TRUE(m_dialog->getLegendMark()->isVisible());
    EXPECT_GE(m_dialog->getLegendMark()->getY(), m_dialog->getRowText(39)->getY());

    const int32_t x = mark->getX() + mark->getWidth() / 2, y = mark->getY() + mark->getHeight() / 2;
    EXPECT_EQ(m_dialog->mouseDown(x, y), DialogSprite::Consumed);
    ASSERT_EQ(viewer.given.size(), 1u);
    EXPECT_EQ(viewer.given[0], "recording 17");
    EXPECT_EQ(server.targets().back(), "/replay/17");
    EXPECT_TRUE(m_dialog->getRowText(0)->isVisible());

    // A download that fails reaches no viewer: the console says so over the table, which comes back after
    // the notice (or at the next press) as it was, the cached table untouched.
    const size_t requests = server.targets().size();
    const Sprite* second = m_dialog->getPlayMark(1);
    m_dialog->mouseDown(second->getX() + 2, second->getY() + 2);
    EXPECT_EQ(server.targets().size(), requests + 1);
    EXPECT_EQ(server.targets().back(), "/replay/18");
    EXPECT_EQ(viewer.given.size(), 1u);
    const Sprite* console = m_dialog->findChild("message");
    ASSERT_NE(console, nullptr);
    EXPECT_TRUE(console->isVisible());
    EXPECT_FALSE(m_dialog->getRowText(0)->isVisible());
    Rectangle scratch;
    for (int32_t t = 0; t < HighScoreSprite::kNoticeTicks; ++t)
        m_dialog->update(t, scratch, nullptr);
    EXPECT_FALSE(console->isVisible());
    EXPECT_TRUE(m_dialog->getRowText(0)->isVisible());
    EXPECT_TRUE(m_dialog->getPlayMark(1)->isVisible());
    EXPECT_TRUE(m_dialog->hasReply("S"));
    EXPECT_EQ(server.targets().size(), requests + 1);

    // A recording the viewer refuses shows the viewer's reason the same way.
    viewer.refusal = "replaybad";
    m_dialog->mouseDown(x, y);
    EXPECT_EQ(viewer.given.size(), 2u);
    EXPECT_TRUE(console->isVisible());
    m_dialog->mouseDown(5, 5); // anywhere: the table is back
    EXPECT_FALSE(console->isVisible());
    EXPECT_TRUE(m_dialog->getRowText(0)->isVisible());

    m_dialog->showView(false);
    EXPECT_FALSE(m_dialog->getLegendText()->isVisible());
}

TEST_F(HighScoreReplayTest, APersonalRowsPlayMarkPlaysTheRecordingThisComputerKept) {
    Viewer viewer;
    m_dialog->setViewer(&viewer);
    m_dialog->recordScore("Al", "N", 5, 900);
    m_dialog->recordScore("Bo", "N", 4, 700);
    const Sprite* mark = m_dialog->getPlayMark(1);
    ASSERT_TRUE(mark->isVisible());
    // A press on the row's name or on the rank is not on the mark.
    m_dialog->mouseDown(m_dialog->getRowText(1)->getX() + 2, mark->getY() + 3);
    EXPECT_TRUE(viewer.given.empty());
    m_dialog->mouseDown(mark->getX() - 2, mark->getY() - 2);
    ASSERT_EQ(viewer.given.size(), 1u);
    EXPECT_EQ(viewer.given[0], std::string("MPHR\0\x01recording", 15));
    EXPECT_EQ(m_games.lastNonce, 0);
    // The mark is a stop of the focus, by a name the driver can click.
    std::vector<DialogSprite::FocusItem> items;
    m_dialog->focusItems(items);
    EXPECT_TRUE(std::any_of(items.begin(), items.end(), [](const auto& i) { return i.name == "play1"; }));
    EXPECT_EQ(m_dialog->findChild("play1"), mark);
}
