// ScoreParams: the checked parameters of a table fetch or a score submission, read from a query.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mph::service {

class ScoreParams {
public:
    // A name is what the player typed in the game's seven-character entry field.
    static constexpr size_t kMaxName = 7;

    std::string mode;
    // Only for a submission: the name's bytes (8-bit, usually Latin-1), the token and the score.
    std::string name;
    std::string token;
    int32_t score = 0;

    // Each returns an empty string when the parameters are usable, else a short reason for a 400.
    // Only shapes are checked here; whether the token checks is the caller's business.
    static std::string readFetch(std::string_view rawQuery, ScoreParams& out);
    static std::string readSubmit(std::string_view rawQuery, ScoreParams& out);

    static bool knownMode(std::string_view mode) { return mode == "S" || mode == "N"; }
};

} // namespace mph::service
