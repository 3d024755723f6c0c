// HighScoreSprite's global side against a loopback stub of the score service: the per-mode cache, the
// retried submission, the console texts, no address, and scrolling a long table.
#include "DialogFixture.h"
#include "ScoreServiceStub.h"

#include "scores/HighScoreSprite.h"
#include "scores/ScoreServer.h"
#include "scores/ScoreToken.h"
#include "sprites/RichTTYSprite.h"
#include "sprites/TextSprite.h"

using namespace lang;
using namespace mph;

namespace {

std::string table(int count, const char* tag, int highlight = 0) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><scores>";
    for (int i = 1; i <= count; ++i)
        xml += "<entry><name>" + std::string(tag) + std::to_string(i) + "</name><score>" +
               std::to_string(900 - i) + "</score><level>2</level></entry>";
    if (highlight > 0) xml += "<highlight>" + std::to_string(highlight) + "</highlight>";
    return xml + "</scores>";
}

class HighScoreGlobalTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        useTexts({{"getglob", "Fetching"},
                  {"globsubmit", "Sending"},
                  {"hserror", "No answer"},
                  {"notconnect", "Offline"},
                  {"hsrefused", "Refused"},
                  {"noserver", "Not set up"}});
        m_dialog = loadHighScores<HighScoreSprite>();
    }
    String message() {
        auto* console = static_cast<RichTTYSprite*>(m_dialog->findChild("message"));
        return console->isVisible() ? console->lineText(0) : String("(hidden)");
    }
    Ref<HighScoreSprite> m_dialog;
};

} // namespace

TEST_F(HighScoreGlobalTest, EachModeIsFetchedOnceAndSwitchingBackUsesTheCache) {
    ScoreServiceStub server([](const std::string& target) {
        return ScoreServiceStub::Reply{200, table(3, target.back() == 'S' ? "s" : "n")};
    });
    m_store->setString("HSURL", String((server.base() + "/").c_str()));
    m_dialog->mouseDown(200, 310); // "bglobals"
    EXPECT_TRUE(m_dialog->isGlobalView());
    EXPECT_EQ(message(), "(hidden)");
    EXPECT_EQ(m_dialog->getRowText(0)->getText(), "s1");
    EXPECT_EQ(m_dialog->getRowText(20)->getText(), "899");
    EXPECT_EQ(stateOf(*m_dialog, "clear"), ButtonSprite::Disabled);
    m_dialog->mouseDown(140, 310); // "bmode"
    EXPECT_EQ(m_dialog->getRowText(0)->getText(), "n1");
    m_dialog->mouseDown(140, 310);
    EXPECT_EQ(m_dialog->getRowText(0)->getText(), "s1");
    const std::vector<std::string> expected = {"/globalhs.jsp?game=mphl&mode=S",
                                               "/globalhs.jsp?game=mphl&mode=N"};
    EXPECT_EQ(server.targets(), expected);
}

TEST_F(HighScoreGlobalTest, AFailedSubmissionIsRepeatedWordForWordByRetry) {
    int submissions = 0;
    ScoreServiceStub server([&](const std::string& target) {
        if (target.find("/globalhs.jsp") == 0) return ScoreServiceStub::Reply{200, table(3, "s")};
        return ++submissions <= 2 ? ScoreServiceStub::Reply{500, ""}
                                  : ScoreServiceStub::Reply{200, table(12, "g", 12)};
    });
    m_store->setString("HSURL", String(server.base().c_str()));
    m_dialog->submitGlobal("Zo\xE9 &x", "N", 7, 4321);
    EXPECT_EQ(message(), "No answer");
    EXPECT_EQ(stateOf(*m_dialog, "bretry"), ButtonSprite::Normal);
    EXPECT_FALSE(m_dialog->getRowText(0)->isVisible());
    m_dialog->mouseDown(320, 310); // "bretry", failing again
    EXPECT_EQ(stateOf(*m_dialog, "bretry"), ButtonSprite::Normal);
    // The other mode fetches its own table; coming back repeats the submission, which now succeeds.
    m_dialog->mouseDown(140, 310);
    EXPECT_EQ(m_dialog->getRowText(0)->getText(), "s1");
    m_dialog->mouseDown(140, 310);

    const std::vector<std::string> sent = server.targets();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[1], sent[0]) << "the same nonce and token";
    EXPECT_EQ(sent[2], "/globalhs.jsp?game=mphl&mode=S");
    EXPECT_EQ(sent[3], sent[0]);
    const std::string prefix = "/addglobalhs.jsp?game=mphl&mode=N&name=Zo%E9%20%26x&score=";
    ASSERT_EQ(sent[0].rfind(prefix, 0), 0u) << sent[0];
    const std::string token = sent[0].substr(prefix.size(), sent[0].find("&s=") - prefix.size());
    EXPECT_EQ(scoretoken::check(token, "Zo\xE9 &x", 4321), 7);
    EXPECT_EQ(sent[0].substr(sent[0].find("&s=")), "&s=4321");

    EXPECT_TRUE(m_dialog->getPendingSubmit().isEmpty());
    EXPECT_EQ(message(), "(hidden)");
    EXPECT_EQ(stateOf(*m_dialog, "bretry"), ButtonSprite::Disabled);
    EXPECT_EQ(m_dialog->getHighlightRank(), 12);
    EXPECT_EQ(m_dialog->getFirstRow(), 2) << "7 from the highlight, then limited to 12 - 10";
    EXPECT_EQ(m_dialog->getHighlightRow(), 9);
}

TEST_F(HighScoreGlobalTest, HoldingScrollDownRepeatsFromTheEleventhTick) {
    ScoreServiceStub server([](const std::string&) { return ScoreServiceStub::Reply{200, table(12, "g")}; });
    m_store->setString("HSURL", String(server.base().c_str()));
    m_dialog->showView(true);
    EXPECT_EQ(stateOf(*m_dialog, "bsup"), ButtonSprite::Disabled);
    EXPECT_EQ(stateOf(*m_dialog, "bsdown"), ButtonSprite::Normal);
    m_dialog->mouseDown(375, 255);
    EXPECT_EQ(m_dialog->getFirstRow(), 1);
    for (int32_t t = 1; t <= 10; ++t)
        tick(*m_dialog, t);
    EXPECT_EQ(m_dialog->getFirstRow(), 1);
    tick(*m_dialog, 11);
    EXPECT_EQ(m_dialog->getFirstRow(), 2);
    tick(*m_dialog, 12);
    EXPECT_EQ(m_dialog->getFirstRow(), 2);
    EXPECT_EQ(m_dialog->getRowText(0)->getText(), "g3");
    EXPECT_EQ(stateOf(*m_dialog, "bsdown"), ButtonSprite::Disabled);
    EXPECT_EQ(stateOf(*m_dialog, "bsup"), ButtonSprite::Normal);
    m_dialog->mouseUp(375, 255);
    EXPECT_FALSE(m_dialog->isRepeating());
}

TEST_F(HighScoreGlobalTest, ARefusedSubmissionSaysSoAndOffersNoRetry) {
    std::vector<int> statuses = {400, 500, 403, 429};
    size_t next = 0;
    ScoreServiceStub server([&](const std::string&) {
        return ScoreServiceStub::Reply{statuses.at(next++), ""};
    });
    m_store->setString("HSURL", String(server.base().c_str()));
    m_dialog->submitGlobal("", "S", 1, 10);
    EXPECT_EQ(message(), "Refused");
    EXPECT_EQ(stateOf(*m_dialog, "bretry"), ButtonSprite::Disabled);
    EXPECT_TRUE(m_dialog->getPendingSubmit().isEmpty());
    // A retried submission that is then refused ends the same way.
    m_dialog->submitGlobal("Bo", "S", 1, 10);
    EXPECT_EQ(message(), "No answer");
    m_dialog->mouseDown(320, 310); // "bretry"
    EXPECT_EQ(message(), "Refused");
    EXPECT_EQ(stateOf(*m_dialog, "bretry"), ButtonSprite::Disabled);
    EXPECT_TRUE(m_dialog->getPendingSubmit().isEmpty());
    // Too many requests is worth another try later.
    m_dialog->submitGlobal("Cy", "S", 1, 10);
    EXPECT_EQ(message(), "No answer");
    EXPECT_EQ(stateOf(*m_dialog, "bretry"), ButtonSprite::Normal);
    EXPECT_EQ(server.targets().size(), 4u);
}

TEST_F(HighScoreGlobalTest, WithoutAnAddressTheGameIsOffline) {
    EXPECT_FALSE(ScoreServer::isConnected(m_store.get()));
    m_dialog->showView(true);
    EXPECT_EQ(message(), "Not set up");
    EXPECT_EQ(stateOf(*m_dialog, "bretry"), ButtonSprite::Disabled);
    EXPECT_TRUE(m_dialog->getList().empty());
    // A submission made offline fails like any other and is kept; a retry while still offline keeps it,
    // and once the service can be reached the retry sends it.
    m_dialog->submitGlobal("a", "S", 1, 10);
    EXPECT_EQ(message(), "Not set up");
    EXPECT_EQ(stateOf(*m_dialog, "bretry"), ButtonSprite::Normal);
    const std::string kept = m_dialog->getPendingSubmit().str();
    EXPECT_EQ(kept.rfind("/addglobalhs.jsp?game=mphl&mode=S&name=a&score=", 0), 0u) << kept;
    m_dialog->mouseDown(320, 310); // "bretry"
    EXPECT_EQ(message(), "Not set up");
    EXPECT_EQ(stateOf(*m_dialog, "bretry"), ButtonSprite::Normal);
    EXPECT_EQ(m_dialog->getPendingSubmit().str(), kept);
    ScoreServiceStub server([](const std::string&) {
        return ScoreServiceStub::Reply{200, table(2, "g", 1)};
    });
    m_store->setString("HSURL", String(server.base().c_str()));
    m_dialog->mouseDown(320, 310);
    EXPECT_EQ(server.targets(), std::vector<std::string>{kept});
    EXPECT_TRUE(m_dialog->getPendingSubmit().isEmpty());
    EXPECT_EQ(m_dialog->getRowText(0)->getText(), "g1");

    EXPECT_TRUE(ScoreServer::isLoopbackHost("[::1]"));
    EXPECT_TRUE(ScoreServer::isLoopbackHost("LocalHost"));
    EXPECT_TRUE(ScoreServer::isLoopbackHost("127.3.2.1"));
    EXPECT_FALSE(ScoreServer::isLoopbackHost("128.0.0.1"));
    EXPECT_FALSE(ScoreServer::isLoopbackHost("localhost.example"));
}
