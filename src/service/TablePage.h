// TablePage: the world tables as HTML pages: the front page with the best of both games, and the page of
// one game's whole table. No script; the look comes from the style sheet the service serves beside them.
#pragma once

#include "service/Store.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mph::service {

class TablePage {
public:
    // Rows of each game the front page shows; the table's own page shows every row it is given.
    static constexpr size_t kFrontRows = 10;

    static std::string table(std::string_view mode, const std::vector<ScoreRow>& rows);
    static std::string front(const std::vector<ScoreRow>& timed, const std::vector<ScoreRow>& rising);

    // "Timed game" for S, "Rising rows" for N.
    static const char* title(std::string_view mode);
    // The download's file name for entry id of mode: morphella-S-17.mphr.
    static std::string replayFileName(std::string_view mode, int64_t id);
};

} // namespace mph::service
