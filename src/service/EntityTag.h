// EntityTag: the validators of the service's pages and downloads, and the reading of a client's
// If-None-Match list against one of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mph::service {

class EntityTag {
public:
    // A strong tag for content with this hash: a quoted string of 16 hex digits.
    static std::string of(uint64_t hash);
    // A quoted tag around text that is already safe in a header (hex digits, say).
    static std::string quoted(std::string_view text);
    // FNV-1a over bytes; the same bytes give the same tag in every instance and after every restart.
    static uint64_t hash(std::string_view bytes, uint64_t seed = kSeed);

    // Whether a conditional GET with this If-None-Match header (a comma-separated list of tags, each
    // maybe marked weak with W/, or "*") may be answered 304 for content tagged tag. A malformed list
    // matches nothing from where it goes wrong on, so the client gets the content.
    static bool matches(std::string_view ifNoneMatch, std::string_view tag);

    static constexpr uint64_t kSeed = 0xcbf29ce484222325ull;
};

} // namespace mph::service
