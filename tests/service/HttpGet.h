// HttpGet: one GET through libcurl for the service tests, and raw sockets for what curl will not send.
#pragma once

#include <curl/curl.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <strings.h>

struct HttpReply {
    long status = 0; // 0 when the request failed
    std::string body;
    std::string contentType;
    // The reply's header lines as received.
    std::string headers;

    // The value of the header name (any case), or "" when absent.
    std::string header(const std::string& name) const {
        size_t at = 0;
        while (at < headers.size()) {
            const size_t end = headers.find("\r\n", at);
            const std::string line =
                headers.substr(at, end == std::string::npos ? std::string::npos : end - at);
            if (line.size() > name.size() && line[name.size()] == ':' &&
                strncasecmp(line.c_str(), name.c_str(), name.size()) == 0) {
                const size_t value = line.find_first_not_of(' ', name.size() + 1);
                return value == std::string::npos ? std::string() : line.substr(value);
            }
            if (end == std::string::npos) break;
            at = end + 2;
        }
        return {};
    }
};

inline size_t appendBody(char* data, size_t size, size_t count, void* out) {
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

// requestHeader, when not empty, is one more header line to send ("If-None-Match: \"x\"").
inline HttpReply httpGet(const std::string& url, const char* method = nullptr,
                         const std::string& requestHeader = std::string()) {
    HttpReply reply;
    CURL* curl = curl_easy_init();
    curl_slist* extra = requestHeader.empty() ? nullptr : curl_slist_append(nullptr, requestHeader.c_str());
    if (extra != nullptr) curl_easy_setopt(curl, CURLOPT_HTTPHEADER, extra);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &reply.headers);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 10000L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
    if (method != nullptr) curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method);
    if (curl_easy_perform(curl) == CURLE_OK) {
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
        char* type = nullptr;
        curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type);
        if (type != nullptr) reply.contentType = type;
    }
    curl_easy_cleanup(curl);
    curl_slist_free_all(extra);
    return reply;
}

// A TCP connection to 127.0.0.1:port from the loopback address source (127.0.0.2 looks like another
// client); -1 when it cannot connect.
inline int connectFrom(const char* source, int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, source, &local.sin_addr);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &remote.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

inline bool sendText(int fd, const std::string& text) {
    return ::send(fd, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
}

// Reads until the peer closes (closed is then set) or nothing arrives for timeoutMs; what was read.
inline std::string readUntilClosed(int fd, int timeoutMs, bool* closed = nullptr) {
    std::string out;
    char buffer[4096];
    if (closed != nullptr) *closed = false;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) break;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            if (closed != nullptr) *closed = true;
            break;
        }
        out.append(buffer, static_cast<size_t>(n));
    }
    return out;
}
