// Fuzz target: arbitrary bytes as the query of a table fetch or a score submission.
#include "service/QueryString.h"
#include "service/ScoreParams.h"
#include "service/XmlWriter.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace mph::service;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view query(reinterpret_cast<const char*>(data), size);
    QueryString parsed;
    const bool wellFormed = QueryString::parse(query, parsed) == QueryString::Error::None;
    if (wellFormed && parsed.size() > QueryString::kMaxParameters) std::abort();

    ScoreParams fetch;
    if (ScoreParams::readFetch(query, fetch).empty() && (!wellFormed || !ScoreParams::knownMode(fetch.mode)))
        std::abort();

    ScoreParams submit;
    if (ScoreParams::readSubmit(query, submit).empty()) {
        // What passes is what the store and the reply are built on.
        if (!wellFormed || !ScoreParams::knownMode(submit.mode) || submit.name.empty() ||
            submit.name.size() > ScoreParams::kMaxName || submit.score < 0 || submit.token.empty())
            std::abort();
        std::string escaped;
        XmlWriter::escape(submit.name, escaped);
        if (escaped.find_first_of("<>\"") != std::string::npos) std::abort();
    }
    return 0;
}
