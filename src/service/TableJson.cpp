// TableJson: one object per row, every text through the JSON escaping of names.
#include "service/TableJson.h"

#include "service/WebText.h"

namespace mph::service {

std::string TableJson::document(std::string_view mode, const std::vector<ScoreRow>& rows) {
    std::string out;
    out.reserve(64 + rows.size() * 160);
    out += "{\"mode\":";
    WebText::json(mode, out);
    out += ",\"entries\":[";
    for (size_t i = 0; i < rows.size(); ++i) {
        const ScoreRow& r = rows[i];
        if (i > 0) out += ',';
        out += "{\"rank\":" + std::to_string(r.rank) + ",\"name\":";
        WebText::json(r.name, out);
        out += ",\"score\":" + std::to_string(r.score) + ",\"level\":" + std::to_string(r.level) +
               ",\"created\":";
        WebText::json(r.created, out);
        out += r.verified ? ",\"verified\":true" : ",\"verified\":false";
        out += r.replay ? ",\"replay\":\"/replay/" + std::to_string(r.id) + "\"}"
                        : std::string(",\"replay\":null}");
    }
    out += "]}\n";
    return out;
}

} // namespace mph::service
