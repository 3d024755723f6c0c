// RecordedGames: what the high-score dialog asks about the games the program recorded: whether a table
// row has its recording (the row gets a play mark) and the recording's bytes (sent after a submission).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mph {

// A game is known by the table it belongs to ("S" or "N"), the name entered after it, and its final level
// and score. Implementations answer from any thread.
class RecordedGames {
public:
    virtual ~RecordedGames() = default;
    virtual bool has(std::string_view mode, std::string_view name, int32_t level, int32_t score) = 0;
    // The newest such recording's bytes with nonce (the world-table submission's, so the service verifies
    // that entry only) written into them, or "" when there is none.
    virtual std::string bytes(std::string_view mode, std::string_view name, int32_t level, int32_t score,
                              int32_t nonce = 0) = 0;
};

} // namespace mph
