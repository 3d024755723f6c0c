// The morphella-scored program: a kill -9 loses no acknowledged submission; SIGTERM lets the request in
// flight finish and exits with status 0.
#include "HttpGet.h"
#include "TempDir.h"
#include "scores/ScoreToken.h"
#include "service/SqliteStore.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>

using namespace mph;
using namespace std::chrono_literals;

namespace {

// The program started on a free port of 127.0.0.1 with its standard error in a file.
class ScoredProcess {
public:
    explicit ScoredProcess(const TempDir& dir) : m_dir(dir.path()) {
        const std::string bin = std::string(std::getenv("MPH_BIN")) + "/morphella-scored";
        const std::string db = m_dir + "/scores.db", portFile = m_dir + "/port", log = logPath();
        m_pid = ::fork();
        if (m_pid == 0) {
            const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, 2);
            ::execl(bin.c_str(), bin.c_str(), "--bind", "127.0.0.1", "--port", "0", "--port-file",
                    portFile.c_str(), "--db", db.c_str(), "--rate-limit", "0", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 500 && m_port == 0; ++i) {
            std::this_thread::sleep_for(10ms);
            std::ifstream in(portFile);
            in >> m_port;
        }
    }
    ~ScoredProcess() {
        if (m_pid > 0 && wait(0ms) == -2) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    int port() const { return m_port; }
    pid_t pid() const { return m_pid; }
    std::string logPath() const { return m_dir + "/scored.log"; }
    std::string dbPath() const { return m_dir + "/scores.db"; }

    // The exit status once the process has ended within timeout, -1 for death by a signal, -2 if running.
    int wait(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        do {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(5ms);
        } while (std::chrono::steady_clock::now() < deadline);
        return -2;
    }

private:
    std::string m_dir;
    pid_t m_pid = -1;
    int m_port = 0;
};

} // namespace

TEST(ScoredProcess, KillNineLosesNoAcknowledgedSubmission) {
    TempDir dir;
    ScoredProcess scored(dir);
    ASSERT_GT(scored.port(), 0);
    std::mutex mutex;
    std::set<std::string> acknowledged;
    std::atomic<bool> stop{false};
    std::vector<std::thread> clients;
    for (int c = 0; c < 4; ++c) {
        clients.emplace_back([&, c] {
            for (int i = 0; !stop; ++i) {
                const std::string name = std::to_string(c * 100000 + i);
                const std::string url = "http://127.0.0.1:" + std::to_string(scored.port()) +
                                        "/addglobalhs.jsp?game=mphl&mode=N&name=" + name +
                                        "&score=" + scoretoken::make(i, name, 1, i) +
                                        "&s=" + std::to_string(i);
                const HttpReply r = httpGet(url);
                if (r.status == 200 && r.body.find("<highlight>") != std::string::npos) {
                    std::lock_guard<std::mutex> guard(mutex);
                    acknowledged.insert(name);
                }
                if (r.status == 0) return;
            }
        });
    }
    std::this_thread::sleep_for(400ms);
    ::kill(scored.pid(), SIGKILL);
    EXPECT_EQ(scored.wait(5000ms), -1);
    stop = true;
    for (auto& t : clients)
        t.join();

    ASSERT_GT(acknowledged.size(), 20u);
    service::SqliteStore reopened(scored.dbPath());
    std::set<std::string> stored;
    for (const auto& row : reopened.top("N", 1000000))
        stored.insert(row.name);
    for (const std::string& name : acknowledged)
        EXPECT_TRUE(stored.count(name)) << name << " was acknowledged";
}

TEST(ScoredProcess, SigtermFinishesTheRequestInFlightAndExitsZero) {
    TempDir dir;
    ScoredProcess scored(dir);
    ASSERT_GT(scored.port(), 0);
    // A request whose head is half sent when the signal comes.
    const int fd = connectFrom("127.0.0.1", scored.port());
    ASSERT_GE(fd, 0);
    sendText(fd, "GET /globalhs.jsp?game=mphl&mode=S HTTP/1.1\r\n");
    std::this_thread::sleep_for(100ms);
    ::kill(scored.pid(), SIGTERM);
    EXPECT_EQ(scored.wait(200ms), -2) << "it waits for the request in flight";
    sendText(fd, "Host: x\r\n\r\n");
    const std::string reply = readUntilClosed(fd, 3000);
    EXPECT_EQ(reply.rfind("HTTP/1.1 200 OK", 0), 0u) << reply;
    ::close(fd);
    EXPECT_EQ(scored.wait(5000ms), 0);

    std::ifstream in(scored.logPath());
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(log.find("listening on 127.0.0.1:" + std::to_string(scored.port())), std::string::npos) << log;
    EXPECT_NE(log.find("127.0.0.1 GET /globalhs.jsp 200 "), std::string::npos) << log;
}
