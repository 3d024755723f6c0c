// ReplayDownload: reading the id, the store's answer and the download's headers.
#include "service/ReplayDownload.h"

#include "service/EntityTag.h"
#include "service/Log.h"
#include "service/ScoreParams.h"
#include "service/TablePage.h"

#include <cstdint>
#include <limits>

namespace mph::service {

namespace {

constexpr const char* kCacheControl = "public, max-age=60";
constexpr long kStoreRetrySeconds = 10;

bool hexDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

} // namespace

bool ReplayDownload::parseId(std::string_view text, int64_t& id) {
    if (text.empty() || (text.size() > 1 && text[0] == '0')) return false;
    uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        const auto digit = static_cast<uint64_t>(c - '0');
        if (value > (static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) - digit) / 10) return false;
        value = value * 10 + digit;
    }
    id = static_cast<int64_t>(value);
    return true;
}

void ReplayDownload::install(Router& router) {
    router.addPrefix(
        "GET", std::string(kPrefix), [this](const Request& r) { return answer(r); },
        Router::Dispatch::Worker);
}

Response ReplayDownload::answer(const Request& request) {
    int64_t id = 0;
    if (!parseId(std::string_view(request.path).substr(kPrefix.size()), id))
        return Response::text(404, "no such recording");
    std::optional<KeptRecording> kept;
    try {
        kept = m_store.recording(id);
    } catch (const StoreError& e) {
        log::line("%s", e.what());
        return Response::retryLater(503, "the score store is unavailable", kStoreRetrySeconds);
    }
    if (!kept) return Response::text(404, "no such recording");
    // The game's hash names the recording's bytes, which never change once kept.
    const std::string etag = hexDigits(kept->gameHash) ? EntityTag::quoted(kept->gameHash)
                                                       : EntityTag::of(EntityTag::hash(kept->bytes));
    Response r;
    r.headers.emplace_back("ETag", etag);
    r.headers.emplace_back("Cache-Control", kCacheControl);
    if (EntityTag::matches(request.ifNoneMatch, etag)) {
        r.status = 304;
        return r;
    }
    const std::string mode = ScoreParams::knownMode(kept->mode) ? kept->mode : "X";
    r.contentType = "application/octet-stream";
    r.headers.emplace_back("Content-Disposition",
                           "attachment; filename=\"" + TablePage::replayFileName(mode, id) + "\"");
    r.body = std::move(kept->bytes);
    return r;
}

} // namespace mph::service
