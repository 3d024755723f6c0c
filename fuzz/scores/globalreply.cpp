// Fuzz target: arbitrary bytes as the score service's reply, read into rows as the high-score dialog does.
#include "scores/GlobalReply.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const mph::GlobalReply::Table table =
        mph::GlobalReply::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    // The first row is always one of the rows read (or 0), whatever the highlight said.
    if (table.firstRow < 0 ||
        (table.firstRow > 0 && static_cast<size_t>(table.firstRow) >= table.rows.size()))
        std::abort();
    for (const mph::ScoreRow& row : table.rows) {
        if (row.name.length() < 0) std::abort();
        // A kept recording's id goes into a request's path: plain digits only, never anything else.
        if (row.replay.size() > mph::GlobalReply::kMaxReplayIdDigits) std::abort();
        for (const char c : row.replay)
            if (c < '0' || c > '9') std::abort();
    }
    mph::GlobalReply::toLatin1(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
