// TableJson: a game's world table as JSON, for community sites and bots.
#pragma once

#include "service/Store.h"

#include <string>
#include <string_view>
#include <vector>

namespace mph::service {

class TableJson {
public:
    // {"mode":"S","entries":[{"rank":1,"name":"Ann","score":900,"level":4,"created":"2026-05-01T12:34:56Z",
    // "verified":true,"replay":"/replay/17"}, …]}; replay is null for an entry without a recording.
    static std::string document(std::string_view mode, const std::vector<ScoreRow>& rows);
};

} // namespace mph::service
