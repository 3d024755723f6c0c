// Store: where the service keeps its score tables; SQLite for one instance, PostgreSQL for several.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
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
    int64_t id = 0;
    // When it was submitted, in UTC: "2026-05-01T12:34:56Z".
    std::string created;
    // Verified, and its recording is kept: it can be downloaded.
    bool replay = false;
};

// The recording of a listed, verified entry.
struct KeptRecording {
    std::string mode;
    // ReplayFile::gameHash as 16 hex digits: the recording's bytes never change once kept.
    std::string gameHash;
    std::string bytes;
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

// A recording that replayed to its entry's score, to be kept with that entry.
struct Verification {
    std::string mode;
    std::string name;
    int32_t nonce = 0;
    int32_t level = 0;
    int32_t score = 0;
    // The recording's game without the name and nonce (ReplayFile::gameHash), as 16 hex digits.
    std::string gameHash;
    // Within a person's limits; otherwise the entry waits for review, with the reasons kept.
    bool human = true;
    std::string reasons;
    int64_t ticks = 0;
    // The recording's bytes, kept so that it can be shown again.
    std::string recording;
};

enum class VerifyResult {
    Verified,  // the entry is verified (or already was, by this very game)
    Review,    // kept, but the game is beyond a person's limits: the entry waits for review
    NoEntry,   // no submitted entry has this mode, nonce, name, level and score
    GameTaken, // this game already verified another entry
};

// An entry as the operator sees it.
struct AdminRow {
    int64_t id = 0;
    int32_t rank = 0;
    std::string name;
    int32_t score = 0;
    int32_t level = 0;
    // "verified", "review" or "-".
    std::string state;
    bool hidden = false;
    std::string address;
    std::string created;
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
    // Keeps a recording with the one entry of its mode, nonce, name, level and score, and marks that entry
    // verified when the game is a person's; one game verifies one entry only.
    virtual VerifyResult verify(const Verification& verification) = 0;
    // The kept recording of entry id when that entry is verified and not kept off the tables; nothing for
    // any other id.
    virtual std::optional<KeptRecording> recording(int64_t id) = 0;

    // The operator's view: every entry of mode, best first, hidden ones and those waiting included.
    virtual std::vector<AdminRow> list(const std::string& mode, int32_t limit) = 0;
    // Removes the entries (and their recordings); how many there were.
    virtual int32_t remove(const std::vector<int64_t>& ids) = 0;
    // The operator verifies an entry whose recording waits for review; false when it has none waiting.
    virtual bool approve(int64_t id) = 0;
    // Keeps a name (its exact bytes) off the tables, or lets it back; whether anything changed.
    virtual bool hide(const std::string& name, bool hidden) = 0;
    // Forgets the client addresses of entries older than days; how many entries lost theirs.
    virtual int32_t forgetAddresses(int32_t days) = 0;
    // Whether the database answers.
    virtual bool reachable() = 0;
    // Starts watching for changes made by others (other processes, other instances); changed is called
    // with the mode changed, or "" when anything may have. Returns at once; stopWatching() ends it.
    virtual void watch(std::function<void(const std::string& mode)> changed) = 0;
    virtual void stopWatching() = 0;
    // "sqlite" or "postgres", for the log.
    virtual const char* kind() const = 0;
};

} // namespace mph::service
