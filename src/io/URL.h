// URL: an absolute URL taken apart into scheme, host, port and the path with its query.
#pragma once

#include "runtime/String.h"

#include <cstdint>

namespace mph {

class URLConnection;

// A plain record of the runtime: it answers only to "Object".
class URL : public lang::Object {
public:
    // Parses "scheme://[user@]host[:port][/path][?query][#fragment]"; valid tells whether it could.
    explicit URL(const char* text);
    URL(const URL& other) = default;

    // The URL rebuilt from its parts, with unsafe bytes of the path escaped as %XX.
    lang::String toString() const override;
    // The text a request for this URL is sent to: toString with the path starting at "/".
    std::string requestTarget() const;
    // A new connection (the caller releases it) with time-out 0 and no stream; null when not valid.
    URLConnection* openConnection() const;

    // The usual port of a scheme (80 for http, 443 for https), 0 when there is none.
    static int32_t defaultPort(const lang::String& scheme);

    lang::String scheme;
    int32_t port = 0;
    lang::String host;
    lang::String path; // the URL path followed directly by its "?" query
    bool valid = false;
};

} // namespace mph
