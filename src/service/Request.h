// Request: what the handlers of the service see of an HTTP request.
#pragma once

#include <string>

namespace mph::service {

struct Request {
    std::string method;
    // The path, without the query.
    std::string path;
    // The raw query after '?', still percent-encoded.
    std::string query;
    // The client's address as text, and the key it is counted under by the rate limiter (an IPv6
    // client's /64 network, since one host usually holds the whole of it).
    std::string address;
    std::string addressKey;
    // The body of a POST, at most the server's limit.
    std::string body;
};

} // namespace mph::service
