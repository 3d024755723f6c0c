// ScoreToken: the mixing of a submission's nonce, name, level and score into its check value.
#include "scores/ScoreToken.h"

#include <cstdio>

namespace mph::scoretoken {

namespace {

constexpr uint32_t kMask31 = 0x7FFFFFFFu;

// A 32-bit finaliser: every input bit affects every output bit.
uint32_t mix(uint32_t h) {
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h;
}

int32_t normalNonce(int32_t nonce) {
    int32_t n = nonce % 1000;
    if (n < 0) n += 1000;
    return n == 0 ? 1 : n;
}

// The mask over the level: depends on everything but the level.
uint32_t levelMask(int32_t nonce, uint32_t hash, int32_t score) {
    return mix(hash ^ mix(static_cast<uint32_t>(nonce) * 0x9E3779B9u) ^
               (static_cast<uint32_t>(score) * 0x27D4EB2Fu));
}

uint32_t checkValue(int32_t nonce, uint32_t hash, int32_t level, int32_t score) {
    uint32_t h = mix(hash + 0x165667B1u);
    h = mix(h ^ static_cast<uint32_t>(nonce));
    h = mix(h ^ static_cast<uint32_t>(level) * 0xC2B2AE3Du);
    h = mix(h ^ static_cast<uint32_t>(score));
    return h & kMask31;
}

} // namespace

uint32_t nameHash(std::string_view name) {
    uint32_t h = 2166136261u;
    auto roll = [&h](unsigned char b) { h = (h ^ b) * 16777619u; };
    for (char c : name)
        roll(static_cast<unsigned char>(c));
    for (const char* p = kGameCode; *p != '\0'; ++p)
        roll(static_cast<unsigned char>(*p));
    return h;
}

std::string make(int32_t nonce, std::string_view name, int32_t level, int32_t score) {
    const int32_t n = normalNonce(nonce);
    const uint32_t hash = nameHash(name);
    const uint32_t first = (static_cast<uint32_t>(level) + levelMask(n, hash, score)) & kMask31;
    const uint32_t second = checkValue(n, hash, level, score);
    char text[48];
    std::snprintf(text, sizeof text, "%03dA%uA%u", n, first, second);
    return text;
}

bool parse(std::string_view token, Parts& parts) {
    // Three digits, "A", 1 to 10 digits, "A", 1 to 10 digits, each integer below 2^31.
    if (token.size() < 7 || token.size() > 3 + 1 + 10 + 1 + 10) return false;
    int32_t nonce = 0;
    for (size_t i = 0; i < 3; ++i) {
        if (token[i] < '0' || token[i] > '9') return false;
        nonce = nonce * 10 + (token[i] - '0');
    }
    if (nonce < 1 || token[3] != 'A') return false;
    uint64_t values[2] = {0, 0};
    size_t pos = 4;
    for (int part = 0; part < 2; ++part) {
        const size_t start = pos;
        while (pos < token.size() && token[pos] >= '0' && token[pos] <= '9') {
            values[part] = values[part] * 10 + static_cast<uint64_t>(token[pos] - '0');
            if (values[part] > kMask31 || pos - start >= 10) return false;
            ++pos;
        }
        if (pos == start) return false;
        if (part == 0) {
            if (pos >= token.size() || token[pos] != 'A') return false;
            ++pos;
        }
    }
    if (pos != token.size()) return false;
    parts.nonce = nonce;
    parts.first = static_cast<uint32_t>(values[0]);
    parts.second = static_cast<uint32_t>(values[1]);
    return true;
}

int32_t check(std::string_view token, std::string_view name, int32_t score) {
    Parts parts;
    if (!parse(token, parts)) return -1;
    const uint32_t hash = nameHash(name);
    const uint32_t level = (parts.first - levelMask(parts.nonce, hash, score)) & kMask31;
    if (level > static_cast<uint32_t>(kMaxLevel)) return -1;
    if (checkValue(parts.nonce, hash, static_cast<int32_t>(level), score) != parts.second) return -1;
    return static_cast<int32_t>(level);
}

} // namespace mph::scoretoken
