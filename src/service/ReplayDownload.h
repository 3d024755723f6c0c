// ReplayDownload: GET /replay/ID: the kept recording of a listed, verified entry, as a file to save.
#pragma once

#include "service/Router.h"
#include "service/Store.h"

#include <cstdint>
#include <string_view>

namespace mph::service {

class ReplayDownload {
public:
    static constexpr std::string_view kPrefix = "/replay/";

    explicit ReplayDownload(Store& store) : m_store(store) {}

    // Adds GET /replay/ID, run on the workers since it waits on the store.
    void install(Router& router);
    Response answer(const Request& request);

    // An entry id as written in a path: decimal digits without a leading zero (but "0"), within int64.
    static bool parseId(std::string_view text, int64_t& id);

private:
    Store& m_store;
};

} // namespace mph::service
