// WebService: the pages' routes, their conditional answers and the mode they are asked for.
#include "service/WebService.h"

#include "service/EntityTag.h"
#include "service/Log.h"
#include "service/QueryString.h"
#include "service/ScoreParams.h"
#include "service/TablePage.h"

namespace mph::service {

namespace {

// Pages follow new scores within seconds; a client that has one asks again with its tag.
constexpr const char* kPageCache = "public, max-age=10";
constexpr const char* kAssetCache = "public, max-age=3600";
constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kJson = "application/json";
constexpr long kStoreRetrySeconds = 10;

Response tagged(const Request& request, const char* contentType, std::string body, const std::string& etag,
                const char* cacheControl) {
    Response r;
    r.headers.emplace_back("ETag", etag);
    r.headers.emplace_back("Cache-Control", cacheControl);
    r.contentType = contentType;
    if (EntityTag::matches(request.ifNoneMatch, etag)) {
        r.status = 304;
        return r;
    }
    r.body = std::move(body);
    return r;
}

Response unavailable(const StoreError& e) {
    log::line("%s", e.what());
    return Response::retryLater(503, "the score store is unavailable", kStoreRetrySeconds);
}

} // namespace

void WebService::install(Router& router) {
    router.add("GET", "/", [this](const Request& r) { return front(r); });
    router.add("GET", "/table.html", [this](const Request& r) { return table(r, false); });
    router.add("GET", "/table.json", [this](const Request& r) { return table(r, true); });
    const auto serve = [this](const WebAsset& asset) {
        return [&asset](const Request& r) {
            return tagged(r, asset.contentType.c_str(), asset.body, asset.etag, kAssetCache);
        };
    };
    router.add("GET", "/style.css", serve(m_assets.style()));
    router.add("GET", "/logo", serve(m_assets.logo()));
    router.add("GET", "/icon", serve(m_assets.icon()));
    router.add("GET", "/favicon.ico", serve(m_assets.icon()));
}

Response WebService::front(const Request& request) {
    std::string body;
    try {
        body = TablePage::front(m_scores.rendered("S")->rows(), m_scores.rendered("N")->rows());
    } catch (const StoreError& e) {
        return unavailable(e);
    }
    const std::string etag = EntityTag::of(EntityTag::hash(body));
    return tagged(request, kHtml, std::move(body), etag, kPageCache);
}

Response WebService::table(const Request& request, bool json) {
    QueryString query;
    const QueryString::Error error = QueryString::parse(request.query, query);
    if (error != QueryString::Error::None) return Response::text(400, QueryString::describe(error));
    const std::string* mode = query.get("mode");
    if (mode == nullptr || !ScoreParams::knownMode(*mode)) return Response::text(400, "mode must be S or N");
    try {
        const std::shared_ptr<const RenderedTable> rendered = m_scores.rendered(*mode);
        const TaggedText& text = json ? rendered->json() : rendered->page();
        return tagged(request, json ? kJson : kHtml, text.body, text.etag, kPageCache);
    } catch (const StoreError& e) {
        return unavailable(e);
    }
}

} // namespace mph::service
