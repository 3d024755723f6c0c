// Byte-wise text helpers.
#include "runtime/Ascii.h"

namespace lang {

int compareIgnoreCase(const char* a, const char* b) {
    const auto* p = reinterpret_cast<const unsigned char*>(a ? a : "");
    const auto* q = reinterpret_cast<const unsigned char*>(b ? b : "");
    for (;; ++p, ++q) {
        int d = foldCase(*p) - foldCase(*q);
        if (d != 0 || *p == 0) return d;
    }
}

int compareBytes(const char* a, const char* b) {
    const auto* p = reinterpret_cast<const unsigned char*>(a ? a : "");
    const auto* q = reinterpret_cast<const unsigned char*>(b ? b : "");
    for (;; ++p, ++q) {
        int d = *p - *q;
        if (d != 0 || *p == 0) return d;
    }
}

} // namespace lang
