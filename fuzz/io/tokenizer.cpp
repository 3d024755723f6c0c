// Fuzzes the stream tokenizer: the first bytes choose a set-up, the rest is the text to split.
#include "io/ByteArrayInputStream.h"
#include "io/StreamTokenizer.h"
#include "runtime/Exception.h"

#include <cstdint>
#include <cstdlib>

using namespace lang;
using namespace mph;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const uint8_t mode = data[0];
    auto tokenizer =
        make<StreamTokenizer>(make<ByteArrayInputStream>(data + 4, static_cast<int32_t>(size - 4)));
    if (mode & 1) tokenizer->parseNumbers();
    if (mode & 2) tokenizer->eolIsSignificant(true);
    if (mode & 4) tokenizer->commentChar(data[1]);
    if (mode & 8) tokenizer->quoteChar(data[2]);
    if (mode & 16) tokenizer->ordinaryChar(data[3]);
    if (mode & 32) tokenizer->setCharClass(data[3], static_cast<uint8_t>(data[1] % 9));
    // Each token consumes at least one byte, so the input bounds the number of tokens before the end.
    const size_t limit = size + 2;
    int32_t line = 1;
    for (size_t n = 0;; ++n) {
        if (n > limit) std::abort();
        int32_t type = 0;
        try {
            type = tokenizer->nextToken();
        } catch (Exception* e) {
            e->release();
            break;
        }
        // Lines only go forward, and there are no more of them than bytes.
        if (tokenizer->tokenLine() < line || static_cast<size_t>(tokenizer->tokenLine()) > size + 1)
            std::abort();
        line = tokenizer->tokenLine();
        if (type == StreamTokenizer::TT_EOF) break;
        (void)tokenizer->toString();
        if ((n & 7) == 3) {
            tokenizer->pushBack();
            if (tokenizer->nextToken() != type) std::abort();
        }
    }
    return 0;
}
