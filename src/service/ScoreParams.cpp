// ScoreParams: reading and checking the game, mode, name, token and score of a request.
#include "service/ScoreParams.h"

#include "scores/ScoreToken.h"
#include "service/QueryString.h"

namespace mph::service {

namespace {

// Reads game and mode, common to both requests.
std::string readCommon(std::string_view rawQuery, QueryString& query, ScoreParams& out) {
    const QueryString::Error error = QueryString::parse(rawQuery, query);
    if (error != QueryString::Error::None) return QueryString::describe(error);
    const std::string* game = query.get("game");
    if (game == nullptr) return "missing game";
    if (*game != scoretoken::kGameCode) return "unknown game";
    const std::string* mode = query.get("mode");
    if (mode == nullptr) return "missing mode";
    if (!ScoreParams::knownMode(*mode)) return "unknown mode";
    out.mode = *mode;
    return {};
}

// Decimal digits only, no sign, within 32 bits.
bool readScore(const std::string& text, int32_t& value) {
    if (text.empty() || text.size() > 10) return false;
    int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > INT32_MAX) return false;
    value = static_cast<int32_t>(v);
    return true;
}

// Control bytes would make a name that the table cannot show and the XML reply cannot carry.
bool printableName(const std::string& name) {
    for (char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) return false;
    }
    return true;
}

} // namespace

std::string ScoreParams::readFetch(std::string_view rawQuery, ScoreParams& out) {
    QueryString query;
    return readCommon(rawQuery, query, out);
}

std::string ScoreParams::readSubmit(std::string_view rawQuery, ScoreParams& out) {
    QueryString query;
    std::string error = readCommon(rawQuery, query, out);
    if (!error.empty()) return error;
    const std::string* name = query.get("name");
    if (name == nullptr || name->empty()) return "missing name";
    if (name->size() > kMaxName) return "name longer than 7 characters";
    if (!printableName(*name)) return "name holds control characters";
    const std::string* token = query.get("score");
    if (token == nullptr || token->empty()) return "missing score token";
    scoretoken::Parts parts;
    if (!scoretoken::parse(*token, parts)) return "malformed score token";
    const std::string* score = query.get("s");
    if (score == nullptr) return "missing s";
    if (!readScore(*score, out.score)) return "s is not a score";
    out.name = *name;
    out.token = *token;
    return {};
}

} // namespace mph::service
