// WebService: the world tables for people and programs: GET / (both games), /table.html and /table.json
// for one game, and the style sheet, logo and icon the pages load. Everything comes from the score
// service's cached readings of the store, so pages cost the store no more than the game's fetches do.
#pragma once

#include "service/Router.h"
#include "service/ScoreService.h"
#include "service/WebAssets.h"

#include <string>

namespace mph::service {

class WebService {
public:
    // Takes the pictures from the registered container when there is one (see WebAssets).
    explicit WebService(ScoreService& scores) : m_scores(scores) {}

    void install(Router& router);

    Response front(const Request& request);
    // format is "html" or "json".
    Response table(const Request& request, bool json);

private:
    ScoreService& m_scores;
    WebAssets m_assets;
};

} // namespace mph::service
