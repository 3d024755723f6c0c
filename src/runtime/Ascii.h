// Byte-wise text helpers: Latin-1 case folding and the comparisons built on it.
#pragma once

#include <cstddef>

namespace lang {

// Folds A-Z and the Latin-1 capitals (except the multiplication sign) to lower case.
constexpr unsigned char foldCase(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    return c;
}

// Case-blind comparison of two zero-terminated texts; null counts as "". Returns <0, 0 or >0.
int compareIgnoreCase(const char* a, const char* b);

// Case-sensitive byte comparison of two zero-terminated texts; null counts as "".
int compareBytes(const char* a, const char* b);

inline bool sameClassName(const char* asked, const char* own) { return compareIgnoreCase(asked, own) == 0; }

} // namespace lang
