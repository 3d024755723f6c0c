// ReplayUpload: one POST of a recording through libcurl, with the same limits as the service's GETs.
#include "scores/ReplayUpload.h"

#include <curl/curl.h>

#include <algorithm>

namespace mph {

namespace {

size_t receive(char* data, size_t size, size_t count, void* target) {
    auto* reply = static_cast<std::string*>(target);
    const size_t n = size * count;
    // A reply past the limit ends the transfer (curl sees fewer bytes taken than given).
    if (reply->size() + n > ReplayUpload::kMaxReplyBytes) return 0;
    reply->append(data, n);
    return n;
}

} // namespace

bool ReplayUpload::send(const std::string& url, std::string_view recording, int32_t timeoutMs,
                        std::string* reply) {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!initialised) return false;
    CURL* curl = curl_easy_init();
    if (curl == nullptr) return false;
    std::string body;
    curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/octet-stream");
    // The body goes with the request at once, without waiting for a "100 Continue".
    headers = curl_slist_append(headers, "Expect:");
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    // As for every request to the service: a redirect is not followed.
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, recording.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(recording.size()));
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, receive);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max(timeoutMs, 1)));
    // The service plays the game before it answers, so the whole request may take longer than a stage.
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 3L * std::max(timeoutMs, 1));
    const CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    if (reply != nullptr) *reply = std::move(body);
    return result == CURLE_OK && status == 200;
}

} // namespace mph
