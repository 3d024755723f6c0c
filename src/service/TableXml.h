// TableXml: the XML reply the game reads: a mode's rows as "entry" elements and an optional highlight.
#pragma once

#include "service/Store.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mph::service {

class TableXml {
public:
    // The "entry" elements of rows, in order; the part of a reply worth caching.
    static std::string entries(const std::vector<ScoreRow>& rows);
    // A whole reply around entries; highlight > 0 adds the rank the game scrolls to and marks.
    static std::string document(std::string_view entries, int32_t highlight);
};

} // namespace mph::service
