// ScoreServiceStub: a loopback HTTP server on its own thread answering the dialog's requests with canned
// replies, recording each request target and body.
#pragma once

#include "LoopbackListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ScoreServiceStub {
public:
    struct Reply {
        int status = 200;
        std::string body;
    };
    // Given the request target ("/globalhs.jsp?game=..."), the reply to send.
    using Handler = std::function<Reply(const std::string& target)>;

    explicit ScoreServiceStub(Handler handler) : m_handler(std::move(handler)) {
        // A proxy configured for the machine must not stand between the test and its own server.
        setenv("no_proxy", "127.0.0.1,localhost", 1);
        m_listen = mph::test::listenOnLoopback(m_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~ScoreServiceStub() {
        m_stop = true;
        m_thread.join();
        ::close(m_listen);
    }

    std::string base() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    std::vector<std::string> targets() {
        std::lock_guard<std::mutex> g(m_mutex);
        return m_targets;
    }
    // The body of each request (empty for a GET), in the order of targets().
    std::vector<std::string> bodies() {
        std::lock_guard<std::mutex> g(m_mutex);
        return m_bodies;
    }

private:
    void serve() {
        while (!m_stop) {
            pollfd p{m_listen, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            const int fd = ::accept(m_listen, nullptr, nullptr);
            if (fd < 0) continue;
            std::string head;
            char buf[2048];
            while (head.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                if (n <= 0) break;
                head.append(buf, static_cast<size_t>(n));
            }
            const size_t start = head.find(' ') + 1;
            const std::string target = head.substr(start, head.find(' ', start) - start);
            const size_t bodyStart = head.find("\r\n\r\n");
            std::string body = bodyStart == std::string::npos ? std::string() : head.substr(bodyStart + 4);
            const size_t length = head.find("Content-Length: ");
            const size_t wanted =
                length == std::string::npos ? 0 : std::strtoul(head.c_str() + length + 16, nullptr, 10);
            while (body.size() < wanted) {
                const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                if (n <= 0) break;
                body.append(buf, static_cast<size_t>(n));
            }
            {
                std::lock_guard<std::mutex> g(m_mutex);
                m_targets.push_back(target);
                m_bodies.push_back(body);
            }
            const Reply r = m_handler(target);
            const std::string text = "HTTP/1.1 " + std::to_string(r.status) +
                                     " X\r\nContent-Length: " + std::to_string(r.body.size()) +
                                     "\r\nConnection: close\r\n\r\n" + r.body;
            for (size_t done = 0; done < text.size();) {
                const ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
                if (n <= 0) break;
                done += static_cast<size_t>(n);
            }
            ::close(fd);
        }
    }

    Handler m_handler;
    int m_listen = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<std::string> m_targets;
    std::vector<std::string> m_bodies;
    std::thread m_thread;
};
