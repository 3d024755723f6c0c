// Store: where the service keeps its score tables; SQLite for one instance, PostgreSQL for several.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace mph::service {

// One row of a mode's table, best first.
struct ScoreRow {
    std::string name;
    int32_t score = 0;
    int32_t level = 0;
    int32_t rank = 0;
    // The game's recording was replayed to this very score.
    bool verified = false;
};

// A submission whose token checked.
struct Submission {
    std::string mode;
    std::string name; // 8-bit bytes, kept exactly
    int32_t nonce = 0;
    int32_t level = 0;
    int32_t score = 0;
    std::string address;
};

struct Recorded {
    int64_t id = 0;
    // 1-based position in the mode's table: higher scores first, then older entries first.
    int32_t rank = 0;
    // False when the same nonce, name, level and score were recorded before (a retry of the game).
    bool inserted = false;
};

// Any failure of the database; the request that met it is answered 503 and nothing else is harmed.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Store {
public:
    virtual ~Store() = default;

    // Records a submission in its own transaction and returns only after that committed; a retry of a
    // recorded submission changes nothing and gives the first one's id and current rank.
    virtual Recorded record(const Submission& submission) = 0;
    // The best limit rows of mode, ranked 1, 2, 3 … (ties: the older entry first); with verifiedOnly,
    // the verified ones only, ranked among themselves.
    virtual std::vector<ScoreRow> top(const std::string& mode, int32_t limit, bool verifiedOnly = false) = 0;
    // Marks every entry of mode with that name, level and score as verified (a replay of the game came to
    // exactly that); how many entries there are.
    virtual int32_t markVerified(const std::string& mode, const std::string& name, int32_t level,
                                 int32_t score) = 0;
    // "sqlite" or "postgres", for the log.
    virtual const char* kind() const = 0;
};

} // namespace mph::service
