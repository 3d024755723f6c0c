// ScoreToken: the check value a submitted score carries, shared by the game and the score service.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mph {

// A token reads "NNNAfirstAsecond": a three-digit nonce (001 to 999), then two decimal integers below
// 2^31. Both are mixed from the nonce, a rolling hash of the name's bytes followed by the game code
// "mphl", the level reached and the score. The first carries the level, masked so that only someone who
// knows the name, nonce and score can read it back; the second checks everything, the level included.
// The submit request carries no level, so the service recovers it from the first integer and then checks
// the second. This is a guard against casual tampering with a request, not a secret: the game holds it.
namespace scoretoken {

inline constexpr const char* kGameCode = "mphl";
// The highest level a token may carry; anything above is refused as a forgery.
inline constexpr int32_t kMaxLevel = 100000;

// The rolling 32-bit hash of name's bytes followed by the game code.
uint32_t nameHash(std::string_view name);

// The token for a submission; nonce is taken modulo 1000 and 0 becomes 1.
std::string make(int32_t nonce, std::string_view name, int32_t level, int32_t score);

// The parts of a well-formed token; false for anything else (wrong shape, digits out of range).
struct Parts {
    int32_t nonce = 0;
    uint32_t first = 0;
    uint32_t second = 0;
};
bool parse(std::string_view token, Parts& parts);

// The level the token carries when it checks against name and score; -1 when it does not.
int32_t check(std::string_view token, std::string_view name, int32_t score);

} // namespace scoretoken
} // namespace mph
