// ScoreRow: one row of the high-score dialog, from the personal table or from the global reply.
#pragma once

#include "runtime/String.h"

#include <cstdint>
#include <string>

namespace mph {

struct ScoreRow {
    lang::String name;
    int32_t score = 0;
    int32_t level = 0;
    // 1-based; the dialog highlights the row whose rank it was told.
    int32_t rank = 0;
    // The service replayed the game's recording to this very score (global rows only).
    bool verified = false;
    // The service keeps the verified game's recording under this id (decimal digits); empty when none.
    std::string replay;
};

} // namespace mph
