// GlobalReply: the score service's XML reply, parsed with libxml2 into rows and the highlighted rank.
#include "scores/GlobalReply.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <climits>
#include <memory>
#include <mutex>

namespace mph {

namespace {

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

bool named(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE && node->name != nullptr &&
           xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

// The text and CDATA children of an element, joined, in Latin-1.
std::string textOf(const xmlNode* element) {
    std::string utf8;
    for (const xmlNode* c = element->children; c != nullptr; c = c->next) {
        if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && c->content != nullptr)
            utf8 += reinterpret_cast<const char*>(c->content);
    }
    return GlobalReply::toLatin1(utf8);
}

ScoreRow readEntry(const xmlNode* entry, int32_t position) {
    ScoreRow row;
    row.rank = position;
    for (const xmlNode* c = entry->children; c != nullptr; c = c->next) {
        if (named(c, "name")) {
            row.name = lang::String(std::string_view(textOf(c)));
        } else if (named(c, "score")) {
            row.score = GlobalReply::readNumber(textOf(c));
        } else if (named(c, "level")) {
            row.level = GlobalReply::readNumber(textOf(c));
        } else if (named(c, "rank")) {
            row.rank = GlobalReply::readNumber(textOf(c));
        } else if (named(c, "verified")) {
            row.verified = GlobalReply::readNumber(textOf(c)) != 0;
        } else if (named(c, "replay")) {
            row.replay = GlobalReply::replayId(textOf(c));
        }
    }
    return row;
}

} // namespace

std::string GlobalReply::replayId(std::string_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || (text[begin] >= '\t' && text[begin] <= '\r')))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || (text[end - 1] >= '\t' && text[end - 1] <= '\r')))
        --end;
    const std::string_view id = text.substr(begin, end - begin);
    // It becomes part of a request's path, so nothing but a plain number is taken.
    if (id.empty() || id.size() > kMaxReplayIdDigits) return {};
    for (const char c : id)
        if (c < '0' || c > '9') return {};
    return std::string(id);
}

int32_t GlobalReply::readNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT32_MAX) value = int64_t(INT32_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int32_t>(value);
}

std::string GlobalReply::toLatin1(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int32_t extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= utf8.size()) {
            // A stray or cut sequence: libxml2 never hands one out, but nothing here may read past the end.
            out += '?';
            ++i;
            continue;
        }
        uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int32_t k = 1; k <= extra; ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out += code <= 0xFF ? static_cast<char>(code) : '?';
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

GlobalReply::Table GlobalReply::parse(std::string_view xml) {
    static std::once_flag init;
    std::call_once(init, [] { xmlInitParser(); });
    Table table;
    if (xml.empty() || xml.size() > static_cast<size_t>(INT_MAX)) return table;
    // No network, no DTD loading, no entity substitution and no messages of the library's own.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    std::unique_ptr<xmlDoc, DocFree> doc(
        xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "reply.xml", nullptr, options));
    const xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (root == nullptr) return table;
    for (const xmlNode* c = root->children; c != nullptr; c = c->next) {
        if (named(c, "entry")) {
            table.rows.push_back(readEntry(c, static_cast<int32_t>(table.rows.size()) + 1));
        } else if (named(c, "highlight")) {
            const int32_t value = readNumber(textOf(c));
            table.highlighted = true;
            table.highlightRank = value;
            int64_t first = int64_t(value) - 5;
            if (first > int64_t(table.rows.size()) - 1) first = int64_t(table.rows.size()) - 1;
            table.firstRow = first < 0 ? 0 : static_cast<int32_t>(first);
        }
    }
    return table;
}

} // namespace mph
