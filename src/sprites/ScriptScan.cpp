// ScriptScan: reading a script's bytes with the loader's own tokenizer, without making anything.
#include "sprites/ScriptScan.h"

#include "io/ByteArrayInputStream.h"
#include "io/StreamTokenizer.h"
#include "runtime/String.h"
#include "sprites/DataLoader.h"

#include <algorithm>
#include <climits>
#include <string_view>

using namespace lang;

namespace mph {

namespace {

constexpr const char* kHeaders[] = {"<images>", "<sounds>", "<data>", "<strings>", "<sprites>", "<end>"};

bool isHeader(std::string_view word, bool countEnd) {
    for (const char* header : kHeaders) {
        if (!countEnd && std::string_view(header) == "<end>") continue;
        if (String(word).equalsIgnoreCase(header)) return true;
    }
    return false;
}

// Whether a header stands as a word when the text is split at spaces and line ends of either kind.
bool namesAHeader(const uint8_t* data, size_t size) {
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
        if (i < size && data[i] > ' ') continue;
        if (i > start &&
            isHeader(std::string_view(reinterpret_cast<const char*>(data) + start, i - start), true))
            return true;
        start = i + 1;
    }
    return false;
}

} // namespace

ScriptScan ScriptScan::of(const uint8_t* data, size_t size) {
    ScriptScan scan;
    if (data == nullptr || size == 0 || size > INT32_MAX || std::find(data, data + size, 0) != data + size)
        return scan;
    scan.looksLikeScript = namesAHeader(data, size);
    if (!scan.looksLikeScript) return scan;
    Ref<StreamTokenizer> tokens = adopt(
        new StreamTokenizer(adopt<InputStream>(new ByteArrayInputStream(data, static_cast<int32_t>(size)))));
    DataLoader::configureTokenizer(*tokens);
    while (tokens->nextToken() != StreamTokenizer::TT_EOF) {
        if (tokens->ttype() != StreamTokenizer::TT_WORD) continue;
        if (tokens->sval().equalsIgnoreCase("<end>")) break;
        if (isHeader(tokens->sval().view(), false)) scan.reachesASection = true;
    }
    scan.runOnCommentLine = tokens->runOnCommentLine();
    return scan;
}

} // namespace mph
