// Fuzz target: arbitrary bytes as what a browser sends for the pages and downloads: the first line a
// recording's id from the path, the rest an If-None-Match header; and the same bytes as a name on a
// page and in JSON. The id reader takes only the canonical decimal form; a list holding a tag matches
// it; escaped names hold no markup and no raw control byte.
#include "service/EntityTag.h"
#include "service/ReplayDownload.h"
#include "service/WebText.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace mph::service;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const size_t newline = text.find('\n');
    const std::string_view idText = text.substr(0, newline);
    const std::string_view header =
        newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);

    int64_t id = -1;
    if (ReplayDownload::parseId(idText, id) && (id < 0 || std::to_string(id) != idText)) std::abort();

    // Without a quoted tag or "*" nothing matches; the first tag of a list always does.
    const std::string tag = EntityTag::of(EntityTag::hash(text));
    if (EntityTag::matches(header, tag) && header.find_first_of("\"*") == std::string_view::npos)
        std::abort();
    if (!EntityTag::matches(tag + ", " + std::string(header), tag)) std::abort();

    std::string html;
    WebText::html(text, html);
    for (const char c : html)
        if (c == '<' || c == '>' || c == '"' || c == '\'' || static_cast<unsigned char>(c) < 0x20 ||
            c == 0x7F)
            std::abort();
    std::string json;
    WebText::json(text, json);
    for (size_t i = 1; i + 1 < json.size(); ++i)
        if (json[i] == '"' && json[i - 1] != '\\') std::abort();
    for (const char c : json)
        if (static_cast<unsigned char>(c) < 0x20 || c == '<') std::abort();
    return 0;
}
