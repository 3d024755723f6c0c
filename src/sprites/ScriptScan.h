// ScriptScan: what the bytes of a data script show before it is loaded: whether they are a script at all,
// whether a comment swallows the lines after it, and whether the loader would meet any section.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mph {

struct ScriptScan {
    // A section header ("<sprites>", "<images>", ...) stands as a word somewhere, as an editor shows the
    // text, and there is no zero byte (pictures and sounds have them, scripts do not).
    bool looksLikeScript = false;
    // The line of the first comment that runs on past a line feed, 0 when none does.
    int32_t runOnCommentLine = 0;
    // The loader would meet a section that makes something (any header but "<end>").
    bool reachesASection = false;

    static ScriptScan of(const uint8_t* data, size_t size);
};

} // namespace mph
