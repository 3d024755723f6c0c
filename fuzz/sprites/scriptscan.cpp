// Fuzzes the look at an item's bytes that container create and put take before packing it: is it a
// script, does a comment swallow lines, would the loader meet a section.
#include "sprites/ScriptScan.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const mph::ScriptScan scan = mph::ScriptScan::of(data, size);
    // Only scripts are looked into, and a comment's line lies within the text.
    if (!scan.looksLikeScript && (scan.runOnCommentLine != 0 || scan.reachesASection)) std::abort();
    if (scan.runOnCommentLine < 0 || static_cast<size_t>(scan.runOnCommentLine) > size + 1) std::abort();
    return 0;
}
