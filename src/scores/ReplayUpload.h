// ReplayUpload: sending a recorded game to the score service, which plays it again to verify the score.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mph {

class ReplayUpload {
public:
    static constexpr int32_t kTimeoutMs = 20000;
    // The reply is read up to this many bytes; the service answers with a short status.
    static constexpr size_t kMaxReplyBytes = 64 * 1024;

    // The service's address for recordings under its base address.
    static std::string url(std::string_view base) { return std::string(base) + "/addreplay.jsp"; }
    // POSTs the recording's bytes as the request body; true when the service answered with status 200.
    // The reply, when wanted, is cut at kMaxReplyBytes.
    static bool send(const std::string& url, std::string_view recording, int32_t timeoutMs,
                     std::string* reply = nullptr);
};

} // namespace mph
