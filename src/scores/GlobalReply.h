// GlobalReply: reads the score service's XML reply into the rows of the global table.
#pragma once

#include "scores/ScoreRow.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mph {

// The root element's children are read in order: "entry" elements (children "name", "score", "level",
// "rank", "verified", "replay") become rows, a "highlight" element names the rank to highlight. Element names are compared
// without regard to case; everything else is ignored. A document that is not well formed gives nothing.
class GlobalReply {
public:
    struct Table {
        std::vector<ScoreRow> rows;
        // Whether the reply holds a "highlight"; without one the dialog keeps the rank it had.
        bool highlighted = false;
        int32_t highlightRank = -1;
        // The first row to show: the highlighted rank less five, within the rows read before it.
        int32_t firstRow = 0;
    };

    static Table parse(std::string_view xml);

    // The C atol rule: optional white space and sign, then leading digits; 0 when there are none.
    // Saturates instead of overflowing.
    static int32_t readNumber(std::string_view text);
    // libxml2 hands out UTF-8; the program's text is Latin-1. Characters beyond it become "?".
    static std::string toLatin1(std::string_view utf8);
    // The id of a kept recording as a "replay" element gives it: decimal digits, white space around them
    // dropped; "" for anything else.
    static std::string replayId(std::string_view text);
    static constexpr size_t kMaxReplayIdDigits = 19;
};

} // namespace mph
