// URLConnection: one HTTP GET of a URL, whose reply is then read through its stream.
#include "io/URLConnection.h"

namespace mph {

bool URLConnection::connect() {
    if (m_stream) return true;
    lang::Ref<HttpInputStream> stream = lang::make<HttpInputStream>();
    const bool opened = stream->open(m_url, timeout);
    m_status = stream->status();
    if (!opened) {
        stream->close();
        return false;
    }
    m_stream = std::move(stream);
    return true;
}

} // namespace mph
