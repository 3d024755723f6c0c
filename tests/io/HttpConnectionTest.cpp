// Tests of URL parsing and of HTTP requests against a small server on the loopback interface.
#include "LoopbackListener.h"
#include "io/URL.h"
#include "io/URLConnection.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace mph;

namespace {

// Answers each connection on its own thread with a handler given the socket and the request head.
class LoopbackServer {
public:
    using Handler = std::function<void(int fd, LoopbackServer& server)>;

    explicit LoopbackServer(Handler handler) : m_handler(std::move(handler)) {
        m_listen = mph::test::listenOnLoopback(m_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~LoopbackServer() {
        m_stop = true;
        m_thread.join();
        ::close(m_listen);
    }

    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }
    int requests() const { return m_requests; }
    std::string lastRequest() {
        std::lock_guard<std::mutex> g(m_mutex);
        return m_lastRequest;
    }
    bool stopping() const { return m_stop; }

    static void sendAll(int fd, const std::string& bytes) {
        for (size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0) return;
            done += static_cast<size_t>(n);
        }
    }
    static std::string reply(const std::string& status, const std::string& body) {
        return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\nConnection: close\r\n\r\n" + body;
    }

private:
    void serve() {
        while (!m_stop) {
            pollfd p{m_listen, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            const int fd = ::accept(m_listen, nullptr, nullptr);
            if (fd < 0) continue;
            std::string head;
            char buf[4096];
            while (head.find("\r\n\r\n") == std::string::npos && !m_stop) {
                pollfd q{fd, POLLIN, 0};
                if (::poll(&q, 1, 50) <= 0) continue;
                const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                if (n <= 0) break;
                head.append(buf, static_cast<size_t>(n));
            }
            {
                std::lock_guard<std::mutex> g(m_mutex);
                m_lastRequest = head;
            }
            ++m_requests;
            m_handler(fd, *this);
            ::close(fd);
        }
    }

    Handler m_handler;
    int m_listen = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_requests{0};
    std::mutex m_mutex;
    std::string m_lastRequest;
    std::thread m_thread;
};

lang::Ref<URLConnection> connectionTo(const std::string& url, int32_t timeout = 3000) {
    // A proxy configured for the machine must not stand between the test and its own server.
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    lang::Ref<URLConnection> c = lang::adopt(URL(url.c_str()).openConnection());
    if (c) c->timeout = timeout;
    return c;
}

} // namespace

TEST(URL, TakesTheTextApart) {
    URL u("http://example.com:8080/list.jsp?game=1#top");
    ASSERT_TRUE(u.valid);
    EXPECT_EQ(u.scheme, "http");
    EXPECT_EQ(u.host, "example.com");
    EXPECT_EQ(u.port, 8080);
    EXPECT_EQ(u.path, "/list.jsp?game=1") << "the query stays with the path, the fragment goes";
    EXPECT_EQ(u.toString(), "http://example.com:8080/list.jsp?game=1");

    URL d("https://user:pw@[::1]/a b");
    ASSERT_TRUE(d.valid);
    EXPECT_EQ(d.port, 443);
    EXPECT_EQ(d.host, "[::1]");
    EXPECT_EQ(d.toString(), "https://[::1]/a%20b");
    EXPECT_EQ(URL("HTTP://h?x=1").path, "?x=1");
    EXPECT_EQ(URL("HTTP://h?x=1").requestTarget(), "HTTP://h:80/?x=1");

    for (const char* bad : {"", "example.com/x", "http:/x", "http://", "http://h:99999/", "http://h:8o/",
                            "1http://h/", "http://[::1/"}) {
        URL b(bad);
        EXPECT_FALSE(b.valid) << bad;
        EXPECT_EQ(b.openConnection(), nullptr) << bad;
    }
    EXPECT_FALSE(URL(nullptr).valid);
}

TEST(HttpConnection, ReadsAReplyOfStatus200) {
    const std::string body = std::string("ab\xFF", 3) + std::string(2000, 'z');
    LoopbackServer server(
        [&](int fd, LoopbackServer&) { LoopbackServer::sendAll(fd, LoopbackServer::reply("200 OK", body)); });
    lang::Ref<URLConnection> c = connectionTo(server.url("/list.jsp?game=1"));
    ASSERT_TRUE(c);
    ASSERT_TRUE(c->connect());
    const std::string request = server.lastRequest();
    EXPECT_EQ(request.rfind("GET /list.jsp?game=1 HTTP/1.1\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("User-Agent: QUILLORY.NET.URL\r\n"), std::string::npos);
    EXPECT_NE(request.find("Referer: QY\r\n"), std::string::npos);
    EXPECT_NE(request.find("Pragma: no-cache\r\n"), std::string::npos);

    EXPECT_TRUE(c->connect()) << "a second connect reuses the reply";
    EXPECT_EQ(server.requests(), 1);

    lang::Ref<HttpInputStream> in = lang::retain(c->stream());
    EXPECT_EQ(in->read(), 'a');
    EXPECT_EQ(in->skip(1), 1);
    EXPECT_EQ(in->read(), 255);
    uint8_t buf[1023];
    int32_t total = 3, n;
    while ((n = in->read(buf, 0, sizeof buf)) > 0)
        total += n;
    EXPECT_EQ(n, 0);
    EXPECT_EQ(total, static_cast<int32_t>(body.size()));
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->skip(5), 0);
    in->reset();
    EXPECT_EQ(in->read(buf, 1, 3), 3);
    EXPECT_EQ(buf[3], 0xFF);
    in->close();
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->read(buf, 0, 1), -1);
}

TEST(HttpConnection, FailuresLeaveNoStream) {
    LoopbackServer notFound([](int fd, LoopbackServer&) {
        LoopbackServer::sendAll(fd, LoopbackServer::reply("404 Not Found", "no"));
    });
    lang::Ref<URLConnection> c = connectionTo(notFound.url("/x"));
    EXPECT_FALSE(c->connect());
    EXPECT_EQ(c->stream(), nullptr);

    // The server promises more than it sends and hangs up.
    LoopbackServer cut([](int fd, LoopbackServer&) {
        LoopbackServer::sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nonly a little");
    });
    c = connectionTo(cut.url("/x"));
    EXPECT_FALSE(c->connect());
    EXPECT_EQ(c->stream(), nullptr);

    // Nothing listens on a port that was just closed.
    int port;
    {
        LoopbackServer gone([](int, LoopbackServer&) {});
        port = std::stoi(gone.url("").substr(17));
    }
    c = connectionTo("http://127.0.0.1:" + std::to_string(port) + "/");
    EXPECT_FALSE(c->connect());

    c = connectionTo("ftp://127.0.0.1/x");
    EXPECT_FALSE(c->connect()) << "only http and https are fetched";
}

TEST(HttpConnection, ASilentServerTimesOut) {
    LoopbackServer silent([](int, LoopbackServer& s) {
        while (!s.stopping())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    });
    lang::Ref<URLConnection> c = connectionTo(silent.url("/"), 1000);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(c->connect());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(HttpConnection, RepliesOverOneMebibyteFail) {
    const std::string limit(HttpInputStream::kMaxReplyBytes, 'x');
    LoopbackServer exact([&](int fd, LoopbackServer&) {
        LoopbackServer::sendAll(fd, LoopbackServer::reply("200 OK", limit));
    });
    lang::Ref<URLConnection> c = connectionTo(exact.url("/"));
    EXPECT_TRUE(c->connect());

    LoopbackServer declared([&](int fd, LoopbackServer&) {
        LoopbackServer::sendAll(fd, LoopbackServer::reply("200 OK", limit + "y"));
    });
    c = connectionTo(declared.url("/"));
    EXPECT_FALSE(c->connect());

    // Without a length the reply runs until the server hangs up; the cap still holds.
    LoopbackServer endless([&](int fd, LoopbackServer&) {
        LoopbackServer::sendAll(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + limit + limit);
    });
    c = connectionTo(endless.url("/"));
    EXPECT_FALSE(c->connect());
    EXPECT_EQ(c->stream(), nullptr);
}

// A hostile score server must not make the player's machine request another address: a redirect is a
// failed request, and its target is never asked for.
TEST(HttpConnection, RedirectsAreNotFollowed) {
    LoopbackServer elsewhere([](int fd, LoopbackServer&) {
        LoopbackServer::sendAll(fd, LoopbackServer::reply("200 OK", "secret"));
    });
    const std::string target = elsewhere.url("/admin");
    LoopbackServer redirecting([&](int fd, LoopbackServer&) {
        LoopbackServer::sendAll(fd, "HTTP/1.1 302 Found\r\nLocation: " + target +
                                        "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    });
    lang::Ref<URLConnection> c = connectionTo(redirecting.url("/globalhs.jsp"));
    EXPECT_FALSE(c->connect());
    EXPECT_EQ(c->stream(), nullptr);
    EXPECT_EQ(redirecting.requests(), 1);
    EXPECT_EQ(elsewhere.requests(), 0);
}
