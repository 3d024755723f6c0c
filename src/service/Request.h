// Request: what the handlers of the service see of an HTTP request.
#pragma once

#include "service/ClientAddress.h"

#include <string>

namespace mph::service {

struct Request {
    std::string method;
    // The path, without the query.
    std::string path;
    // The raw query after '?', still percent-encoded.
    std::string query;
    // The client: the peer's address, or the one a trusted reverse proxy forwarded for. Its key (an IPv6
    // client's /64 network) is what every limit counts under.
    ClientAddress client;
    // The If-None-Match header as sent, empty when there was none.
    std::string ifNoneMatch;
    // The body of a POST, at most the server's limit.
    std::string body;
};

} // namespace mph::service
