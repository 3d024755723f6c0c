// URLConnection: one HTTP GET of a URL, whose reply is then read through its stream.
#pragma once

#include "io/HttpInputStream.h"
#include "io/URL.h"
#include "runtime/Ref.h"

#include <cstdint>

namespace mph {

class URLConnection : public lang::Object {
    LANG_CLASS(URLConnection, Object)

public:
    explicit URLConnection(const URL& url) : m_url(url) {}
    URLConnection(const URLConnection&) = delete;
    URLConnection& operator=(const URLConnection&) = delete;

    // Sends the request unless connected already; true when the reply (status 200) is ready to read.
    // Any failure (no network, unknown host, time-out, another status, a reply too large) gives
    // false and leaves the connection without a stream.
    virtual bool connect();
    // The reply while connected, borrowed (take a reference to keep it), or null.
    HttpInputStream* stream() const { return m_stream.get(); }
    // The HTTP status of the last attempt to connect (200 when connected), 0 when none was received.
    int32_t status() const { return m_status; }
    const URL& url() const { return m_url; }

    // Milliseconds allowed for each stage of the request; 0 keeps the library's defaults.
    int32_t timeout = 0;

private:
    URL m_url;
    lang::Ref<HttpInputStream> m_stream;
    int32_t m_status = 0;
};

} // namespace mph
