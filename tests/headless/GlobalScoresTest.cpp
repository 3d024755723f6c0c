// The global table from the game's side, against the real score service on a loopback port: a score
// submitted after a game comes back highlighted; with the service down the submission fails and a retry
// after it is back records it once.
#include "GameFixture.h"
#include "TempDir.h"

#include "io/Resources.h"
#include "io/User.h"
#include "runtime/Cast.h"
#include "scores/HighScoreSprite.h"
#include "scores/ScoreServer.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

using namespace gametest;
using mph::ShapeCanvas;

namespace {

// The service on 127.0.0.1; port 0 picks a free one, which a restart can then ask for again.
class Service {
public:
    Service(const std::string& dir, int port) {
        const std::string bin = std::string(std::getenv("MPH_BIN")) + "/morphella-scored";
        const std::string portFile = dir + "/port" + std::to_string(port);
        const std::string db = dir + "/scores.db";
        const std::string portText = std::to_string(port);
        m_pid = ::fork();
        if (m_pid == 0) {
            const int fd = ::open("/dev/null", O_WRONLY);
            ::dup2(fd, 2);
            ::execl(bin.c_str(), bin.c_str(), "--bind", "127.0.0.1", "--port", portText.c_str(),
                    "--port-file", portFile.c_str(), "--db", db.c_str(), "--quiet", "--accept-unverified",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 500 && m_port == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::ifstream(portFile) >> m_port;
        }
    }
    ~Service() { stop(); }
    void stop() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    int port() const { return m_port; }

private:
    pid_t m_pid = -1;
    int m_port = 0;
};

size_t entries(const std::string& xml) {
    size_t n = 0;
    for (size_t at = xml.find("<entry>"); at != std::string::npos; at = xml.find("<entry>", at + 1))
        ++n;
    return n;
}

} // namespace

class GlobalScores : public GameTest {
protected:
    // Plays a short game that scores, ends it, enters the name and agrees to submit.
    void playAndSubmit(const std::string& name) {
        startGame(true, 1);
        type("k7qz");
        game.tick();
        click("menuButton");
        click("menudlg/bendgame");
        ASSERT_TRUE(shown("hsprompt"));
        for (int i = 0; i < 8; ++i)
            game.key(8, 8);
        for (unsigned char c : name)
            game.key(c >= 'a' && c <= 'z' ? c - 32 : c, c);
        game.key(13, 13);
        ASSERT_TRUE(shown("globalask"));
        click("globalask/bsubmitglobal");
    }
    mph::HighScoreSprite& table() {
        return *lang::as<mph::HighScoreSprite>(game.canvas().findSprite("hsdlg"));
    }
};

TEST_F(GlobalScores, ASubmittedScoreComesBackHighlightedAndARetryRecordsItOnce) {
    TempDir dir;
    auto service = std::make_unique<Service>(dir.path(), 0);
    const int port = service->port();
    ASSERT_GT(port, 0);
    start(12);
    const std::string base = "http://127.0.0.1:" + std::to_string(port);
    game.settings()->setString("HSURL", base.c_str());

    // A Latin-1 name goes out percent-encoded and comes back as the same bytes.
    playAndSubmit("Zo\xeb");
    EXPECT_TRUE(shown("hsdlg"));
    EXPECT_TRUE(table().isGlobalView());
    EXPECT_EQ(table().getHighlightRank(), 1);
    ASSERT_EQ(table().getList().size(), 1u);
    EXPECT_EQ(table().getList()[0].name, lang::String("Zo\xeb"));
    EXPECT_EQ(table().getList()[0].score, game.view().score);

    // The service goes away: the submission fails with the error text and can be retried.
    service->stop();
    click("hsdlg/close");
    game.tick(20);
    playAndSubmit("Bo");
    const std::string error = mph::getResourceString("hserror").str();
    EXPECT_NE(sprite("hsdlg/message").find(error.substr(0, 12)), std::string::npos)
        << sprite("hsdlg/message");
    EXPECT_NE(sprite("hsdlg/bretry").find("\"enabled\":true"), std::string::npos);

    service = std::make_unique<Service>(dir.path(), port);
    ASSERT_EQ(service->port(), port);
    click("hsdlg/bretry");
    EXPECT_EQ(table().getList().size(), 2u);
    EXPECT_EQ(entries(mph::ScoreServer::get(base + "/globalhs.jsp?game=mphl&mode=N", 5000)), 2u);
    // Once through, there is nothing left to retry.
    EXPECT_NE(sprite("hsdlg/bretry").find("\"enabled\":false"), std::string::npos);
}
