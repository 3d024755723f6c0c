// RenderedTable: one reading of a game's table and what is served from it: the game's XML entries at
// once, the HTML page and the JSON on first use, each with the tag a conditional request compares.
#pragma once

#include "service/Store.h"

#include <mutex>
#include <string>
#include <vector>

namespace mph::service {

// A body and its validator.
struct TaggedText {
    std::string body;
    std::string etag;
};

class RenderedTable {
public:
    RenderedTable(std::string mode, std::vector<ScoreRow> rows);

    const std::string& mode() const { return m_mode; }
    const std::vector<ScoreRow>& rows() const { return m_rows; }
    // The "entry" elements of the game's reply.
    const std::string& xml() const { return m_xml; }
    // table.html and table.json of this reading; made by the first caller, shared by every other.
    const TaggedText& page() const;
    const TaggedText& json() const;

private:
    std::string m_mode;
    std::vector<ScoreRow> m_rows;
    std::string m_xml;
    mutable std::once_flag m_pageOnce, m_jsonOnce;
    mutable TaggedText m_page, m_json;
};

} // namespace mph::service
