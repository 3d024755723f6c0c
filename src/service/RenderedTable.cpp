// RenderedTable: the renderings of one reading, made once each.
#include "service/RenderedTable.h"

#include "service/EntityTag.h"
#include "service/TableJson.h"
#include "service/TablePage.h"
#include "service/TableXml.h"

namespace mph::service {

namespace {

TaggedText tagged(std::string body) {
    TaggedText t;
    t.etag = EntityTag::of(EntityTag::hash(body));
    t.body = std::move(body);
    return t;
}

} // namespace

RenderedTable::RenderedTable(std::string mode, std::vector<ScoreRow> rows)
    : m_mode(std::move(mode)), m_rows(std::move(rows)), m_xml(TableXml::entries(m_rows)) {}

const TaggedText& RenderedTable::page() const {
    std::call_once(m_pageOnce, [this] { m_page = tagged(TablePage::table(m_mode, m_rows)); });
    return m_page;
}

const TaggedText& RenderedTable::json() const {
    std::call_once(m_jsonOnce, [this] { m_json = tagged(TableJson::document(m_mode, m_rows)); });
    return m_json;
}

} // namespace mph::service
