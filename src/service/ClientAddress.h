// ClientAddress: who a request comes from: the address as text for the log and the store, and the fixed-size
// key its limits are counted under (an IPv4 address, or an IPv6 client's /64 network, since one host
// usually holds the whole of it).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

struct sockaddr;

namespace mph::service {

struct ClientKey {
    // IPv4 as the IPv4-mapped IPv6 address; IPv6 with its last 64 bits cleared.
    std::array<uint8_t, 16> bytes{};
    bool operator==(const ClientKey& other) const = default;
    // "1.2.3.4" or "2001:db8:1:2::/64".
    std::string text() const;
};

struct ClientKeyHash {
    size_t operator()(const ClientKey& key) const {
        uint64_t a = 0, b = 0;
        std::memcpy(&a, key.bytes.data(), 8);
        std::memcpy(&b, key.bytes.data() + 8, 8);
        return static_cast<size_t>((a * 0x9E3779B97F4A7C15ull) ^ (b + 0x632BE59BD9B4E019ull + (a << 6)));
    }
};

struct ClientAddress {
    std::string text = "?";
    ClientKey key;

    // From a socket address; "?" and the zero key for anything but IPv4 and IPv6.
    static ClientAddress fromSocket(const sockaddr* addr);
    // From text ("1.2.3.4", "2001:db8::1", surrounding blanks allowed); false when it is no address.
    static bool fromText(std::string_view text, ClientAddress& out);
};

} // namespace mph::service
