// TableXml: rendering of a score table and a submission's highlight as the game's reply document.
#include "service/TableXml.h"

#include "service/XmlWriter.h"

namespace mph::service {

namespace {
constexpr std::string_view kRoot = "highscores";
}

std::string TableXml::entries(const std::vector<ScoreRow>& rows) {
    std::string out;
    out.reserve(rows.size() * 96);
    XmlWriter xml(out);
    for (const ScoreRow& row : rows) {
        xml.open("entry");
        xml.element("name", row.name);
        xml.element("score", row.score);
        xml.element("level", row.level);
        xml.element("rank", row.rank);
        // Readers that know nothing of it skip the element.
        if (row.verified) xml.element("verified", 1);
        // The entry's recording, downloaded from /replay/ID.
        if (row.replay) xml.element("replay", row.id);
        xml.close("entry");
        out += '\n';
    }
    return out;
}

std::string TableXml::document(std::string_view entries, int32_t highlight) {
    std::string out;
    out.reserve(entries.size() + 128);
    XmlWriter xml(out);
    xml.declaration();
    xml.open(kRoot);
    out += '\n';
    out += entries;
    if (highlight > 0) {
        xml.element("highlight", highlight);
        out += '\n';
    }
    xml.close(kRoot);
    out += '\n';
    return out;
}

} // namespace mph::service
