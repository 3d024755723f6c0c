// URLConnection: one HTTP GET of a URL, whose reply is then read through its stream.
#include "io/URLConnection.h"

namespace mph {

bool URLConnection::connect() {
    if (m_stream) return true;
    lang::Ref<HttpInputStream> stream = lang::make<HttpInputStream>();
    if (!stream->open(m_url, timeout)) {
        stream->close();
        return false;
    }
    m_stream = std::move(stream);
    return true;
}

} // namespace mph
