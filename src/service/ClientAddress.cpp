// ClientAddress: reading socket and text addresses into the text and key of a client.
#include "service/ClientAddress.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace mph::service {

namespace {

ClientAddress fromV4(const in_addr& ip) {
    ClientAddress out;
    char buffer[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &ip, buffer, sizeof buffer);
    out.text = buffer;
    out.key.bytes[10] = 0xFF;
    out.key.bytes[11] = 0xFF;
    std::memcpy(out.key.bytes.data() + 12, &ip, 4);
    return out;
}

ClientAddress fromV6(const in6_addr& ip) {
    if (IN6_IS_ADDR_V4MAPPED(&ip)) {
        in_addr v4;
        std::memcpy(&v4, ip.s6_addr + 12, 4);
        return fromV4(v4);
    }
    ClientAddress out;
    char buffer[INET6_ADDRSTRLEN];
    inet_ntop(AF_INET6, &ip, buffer, sizeof buffer);
    out.text = buffer;
    std::memcpy(out.key.bytes.data(), ip.s6_addr, 8);
    return out;
}

} // namespace

std::string ClientKey::text() const {
    static constexpr uint8_t kMapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    char buffer[INET6_ADDRSTRLEN];
    if (std::memcmp(bytes.data(), kMapped, 12) == 0) {
        inet_ntop(AF_INET, bytes.data() + 12, buffer, sizeof buffer);
        return buffer;
    }
    inet_ntop(AF_INET6, bytes.data(), buffer, sizeof buffer);
    return std::string(buffer) + "/64";
}

ClientAddress ClientAddress::fromSocket(const sockaddr* addr) {
    if (addr != nullptr && addr->sa_family == AF_INET)
        return fromV4(reinterpret_cast<const sockaddr_in*>(addr)->sin_addr);
    if (addr != nullptr && addr->sa_family == AF_INET6)
        return fromV6(reinterpret_cast<const sockaddr_in6*>(addr)->sin6_addr);
    return ClientAddress();
}

bool ClientAddress::fromText(std::string_view text, ClientAddress& out) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.empty() || text.size() >= INET6_ADDRSTRLEN) return false;
    const std::string copy(text);
    in_addr v4;
    in6_addr v6;
    if (inet_pton(AF_INET, copy.c_str(), &v4) == 1) {
        out = fromV4(v4);
        return true;
    }
    if (inet_pton(AF_INET6, copy.c_str(), &v6) == 1) {
        out = fromV6(v6);
        return true;
    }
    return false;
}

} // namespace mph::service
