// ScoreServer: the score service's request addresses, the connected-state test and one request.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mph {

class User;

// The service's base address is the "HSURL" setting (for example "http://127.0.0.1:8642"); the request
// paths are appended to it. Without it the game behaves as having no Internet connection.
class ScoreServer {
public:
    static constexpr const char* kAddressSetting = "HSURL";
    static constexpr int32_t kFetchTimeoutMs = 12000;
    static constexpr int32_t kSubmitTimeoutMs = 20000;
    // The reply is read in chunks of at most this many bytes.
    static constexpr int32_t kChunk = 1023;

    // The "HSURL" setting without trailing slashes; "" when settings is null or the value is missing.
    static std::string baseAddress(User* settings);
    // Percent-encodes every byte but letters, digits and "-._~" (a Latin-1 "é" becomes "%E9").
    static std::string encode(std::string_view bytes);
    static std::string fetchUrl(std::string_view base, std::string_view mode);
    static std::string submitUrl(std::string_view base, std::string_view mode, std::string_view name,
                                 std::string_view token, int32_t score);
    // A nonce from 1 to 999 from the calling thread's runtime generator, which is seeded with the tick
    // count on its first use when nothing seeded it before.
    static int32_t nextNonce();
    // Whether a request is worth trying: the base address is set and either names a loopback host or
    // some interface other than loopback is up with an address.
    static bool isConnected(std::string_view base);
    static bool isConnected(User* settings) { return isConnected(baseAddress(settings)); }
    // Whether host (as a URL holds it, IPv6 in brackets) is "localhost" or a loopback address.
    static bool isLoopbackHost(std::string_view host);
    // One GET of url, waiting at most about timeoutMs at each stage; the body, or "" on any failure.
    // status, when given, receives the reply's HTTP status (0 when no reply came).
    static std::string get(const std::string& url, int32_t timeoutMs, int32_t* status = nullptr);
    // Whether a status is the service refusing the request itself (4xx): asking again changes nothing.
    // A time-out (408) and too many requests (429) are not: the same request may pass later.
    static bool isRefusal(int32_t status) {
        return status >= 400 && status < 500 && status != kRequestTimeout && status != kTooManyRequests;
    }
    static constexpr int32_t kRequestTimeout = 408;
    static constexpr int32_t kTooManyRequests = 429;
};

} // namespace mph
