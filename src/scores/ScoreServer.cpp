// ScoreServer: request addresses, the connected-state test over the network interfaces, and one GET.
#include "scores/ScoreServer.h"

#include "io/URL.h"
#include "io/URLConnection.h"
#include "io/User.h"
#include "runtime/CRandom.h"
#include "runtime/Ref.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace mph {

std::string ScoreServer::baseAddress(User* settings) {
    if (settings == nullptr) return {};
    std::string base = settings->getString(kAddressSetting, "").str();
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base;
}

std::string ScoreServer::encode(std::string_view bytes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
            c == '.' || c == '_' || c == '~') {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string ScoreServer::fetchUrl(std::string_view base, std::string_view mode) {
    return std::string(base) + "/globalhs.jsp?game=mphl&mode=" + encode(mode);
}

std::string ScoreServer::submitUrl(std::string_view base, std::string_view mode, std::string_view name,
                                   std::string_view token, int32_t score) {
    return std::string(base) + "/addglobalhs.jsp?game=mphl&mode=" + encode(mode) + "&name=" + encode(name) +
           "&score=" + encode(token) + "&s=" + std::to_string(score);
}

int32_t ScoreServer::nextNonce() {
    if (!lang::CRandom::isSeeded()) lang::CRandom::seed(lang::tickCount());
    return lang::CRandom::next() % 999 + 1;
}

bool ScoreServer::isLoopbackHost(std::string_view host) {
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    std::string text(host);
    if (text.size() == 9) {
        std::string lower;
        for (char c : text)
            lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        if (lower == "localhost") return true;
    }
    in_addr v4{};
    if (inet_pton(AF_INET, text.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (inet_pton(AF_INET6, text.c_str(), &v6) == 1) {
        if (IN6_IS_ADDR_LOOPBACK(&v6)) return true;
        return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
    }
    return false;
}

bool ScoreServer::isConnected(std::string_view base) {
    if (base.empty()) return false;
    const URL url(std::string(base).c_str());
    if (!url.valid) return false;
    if (isLoopbackHost(url.host.view())) return true;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    bool up = false;
    for (const ifaddrs* i = list; i != nullptr && !up; i = i->ifa_next) {
        if (i->ifa_addr == nullptr || (i->ifa_flags & IFF_UP) == 0 || (i->ifa_flags & IFF_LOOPBACK) != 0)
            continue;
        up = i->ifa_addr->sa_family == AF_INET || i->ifa_addr->sa_family == AF_INET6;
    }
    freeifaddrs(list);
    return up;
}

std::string ScoreServer::get(const std::string& url, int32_t timeoutMs, int32_t* status) {
    if (status != nullptr) *status = 0;
    lang::Ref<URLConnection> connection = lang::adopt(URL(url.c_str()).openConnection());
    if (!connection) return {};
    connection->timeout = timeoutMs;
    const bool connected = connection->connect();
    if (status != nullptr) *status = connection->status();
    if (!connected) return {};
    lang::Ref<HttpInputStream> in = lang::retain(connection->stream());
    std::string body;
    uint8_t chunk[kChunk];
    for (int32_t n; (n = in->read(chunk, 0, kChunk)) > 0;)
        body.append(reinterpret_cast<const char*>(chunk), n);
    return body;
}

} // namespace mph
