// HttpInputStream: the reply of one HTTP GET, handed out through the stream interface.
#include "io/HttpInputStream.h"

#include "io/URL.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace mph {

namespace {

// Without a time-out from the caller, connecting and every stall while receiving may take this long.
constexpr long kDefaultStageSeconds = 60;

struct Receiver {
    std::string* body;
    bool tooLarge = false;
};

size_t receive(char* data, size_t size, size_t count, void* user) {
    auto* r = static_cast<Receiver*>(user);
    const size_t n = size * count;
    if (r->body->size() + n > static_cast<size_t>(HttpInputStream::kMaxReplyBytes)) {
        r->tooLarge = true;
        return 0; // ends the transfer with a write error
    }
    r->body->append(data, n);
    return n;
}

void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

bool HttpInputStream::open(const URL& url, int32_t timeoutMs) {
    close();
    m_status = 0;
    if (!url.valid || !(url.scheme.equalsIgnoreCase("http") || url.scheme.equalsIgnoreCase("https")))
        return false;
    initialiseOnce();
    CURL* curl = curl_easy_init();
    if (curl == nullptr) return false;

    const std::string target = url.requestTarget();
    curl_slist* headers = nullptr;
    // Always from the server: no cached copy is taken or kept on the way.
    headers = curl_slist_append(headers, "Cache-Control: no-cache");
    headers = curl_slist_append(headers, "Pragma: no-cache");
    headers = curl_slist_append(headers, "Accept:");

    std::string body;
    Receiver receiver{&body};
    curl_easy_setopt(curl, CURLOPT_URL, target.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    // A redirect is a failed request: a hostile server must not make this machine ask another address
    // (one on the player's own network, say) for anything.
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, kAgent);
    curl_easy_setopt(curl, CURLOPT_REFERER, kReferrer);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxReplyBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, receive);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &receiver);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    if (timeoutMs > 0) {
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeoutMs));
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME,
                         std::max(1L, (static_cast<long>(timeoutMs) + 999) / 1000));
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 2L * static_cast<long>(timeoutMs));
    } else {
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kDefaultStageSeconds);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kDefaultStageSeconds);
    }

    const CURLcode rc = curl_easy_perform(curl);
    long code = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
    curl_easy_cleanup(curl);
    curl_slist_free_all(headers);

    m_status = static_cast<int32_t>(code);
    if (rc != CURLE_OK || receiver.tooLarge || code != 200) return false;
    m_body = std::move(body);
    m_position = 0;
    m_open = true;
    return true;
}

int32_t HttpInputStream::read(uint8_t* buffer, int32_t offset, int32_t count) {
    if (!m_open || buffer == nullptr || offset < 0 || count < 0) return -1;
    const size_t n = std::min(static_cast<size_t>(count), m_body.size() - m_position);
    if (n > 0) std::memcpy(buffer + offset, m_body.data() + m_position, n);
    m_position += n;
    return static_cast<int32_t>(n);
}

int32_t HttpInputStream::read() {
    if (!m_open || m_position >= m_body.size()) return -1;
    return static_cast<uint8_t>(m_body[m_position++]);
}

void HttpInputStream::close() {
    m_open = false;
    m_body.clear();
    m_body.shrink_to_fit();
    m_position = 0;
}

void HttpInputStream::reset() {
    m_position = 0;
}

int32_t HttpInputStream::skip(int32_t n) {
    if (!m_open) return -1;
    if (n <= 0) return 0;
    const size_t moved = std::min(static_cast<size_t>(n), m_body.size() - m_position);
    m_position += moved;
    return static_cast<int32_t>(moved);
}

} // namespace mph
