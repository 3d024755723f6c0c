// EntityTag: hashing content into tags and the weak comparison of If-None-Match.
#include "service/EntityTag.h"

#include <cinttypes>
#include <cstdio>

namespace mph::service {

std::string EntityTag::of(uint64_t hash) {
    char text[19];
    std::snprintf(text, sizeof text, "\"%016" PRIx64 "\"", hash);
    return text;
}

std::string EntityTag::quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out += text;
    out += '"';
    return out;
}

uint64_t EntityTag::hash(std::string_view bytes, uint64_t seed) {
    constexpr uint64_t kPrime = 0x100000001b3ull;
    uint64_t h = seed;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= kPrime;
    }
    return h;
}

bool EntityTag::matches(std::string_view list, std::string_view tag) {
    size_t i = 0;
    const auto space = [&] {
        while (i < list.size() && (list[i] == ' ' || list[i] == '\t' || list[i] == ','))
            ++i;
    };
    for (space(); i < list.size(); space()) {
        if (list[i] == '*') return true;
        if (list.compare(i, 2, "W/") == 0) i += 2;
        if (i >= list.size() || list[i] != '"') return false;
        const size_t close = list.find('"', i + 1);
        if (close == std::string_view::npos) return false;
        // Weak comparison: a weak tag matches the strong one with the same text.
        if (list.substr(i, close + 1 - i) == tag) return true;
        i = close + 1;
        if (i < list.size() && list[i] != ',' && list[i] != ' ' && list[i] != '\t') return false;
    }
    return false;
}

} // namespace mph::service
