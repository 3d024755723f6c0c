// HttpInputStream: the reply of one HTTP GET, handed out through the stream interface.
#pragma once

#include "io/InputStream.h"

#include <cstdint>
#include <string>

namespace mph {

class URL;

// The whole reply is received while the request is opened, so reading never waits on the network
// and reset and skip work on the bytes already here.
class HttpInputStream : public InputStream {
    LANG_CLASS(HttpInputStream, InputStream)

public:
    // The largest reply accepted; a longer one fails the request.
    static constexpr int32_t kMaxReplyBytes = 1 << 20;
    static constexpr const char* kAgent = "QUILLORY.NET.URL";
    static constexpr const char* kReferrer = "QY";

    HttpInputStream() = default;
    HttpInputStream(const HttpInputStream&) = delete;
    HttpInputStream& operator=(const HttpInputStream&) = delete;
    ~HttpInputStream() override { close(); }

    // Sends a GET for url (http or https only) and receives the reply. timeoutMs (0: defaults)
    // bounds connecting and each stall while receiving; the whole request is given twice that.
    // True exactly when the final status is 200 and the reply fitted.
    bool open(const URL& url, int32_t timeoutMs);
    bool isOpen() const { return m_open; }
    // The final status of the last request, or 0 when none was received.
    int32_t status() const { return m_status; }

    int32_t read(uint8_t* buffer, int32_t offset, int32_t count) override;
    int32_t read() override;
    void close() override;
    void reset() override;
    // Moves by up to n bytes towards the end of the reply; -1 when there is no reply.
    int32_t skip(int32_t n) override;

private:
    std::string m_body;
    size_t m_position = 0;
    int32_t m_status = 0;
    bool m_open = false;
};

} // namespace mph
