// Response: the status, headers and body a handler answers with.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace mph::service {

struct Response {
    int status = 200;
    std::string contentType = "text/plain; charset=ISO-8859-1";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;

    // A short plain-text answer, mostly for errors: the status and a line saying why.
    static Response text(int status, std::string message) {
        Response r;
        r.status = status;
        r.body = std::move(message) + "\n";
        return r;
    }
    // An answer that asks the client to come back after seconds (429, 503).
    static Response retryLater(int status, std::string message, long seconds) {
        Response r = text(status, std::move(message));
        r.headers.emplace_back("Retry-After", std::to_string(seconds < 1 ? 1 : seconds));
        return r;
    }
};

} // namespace mph::service
