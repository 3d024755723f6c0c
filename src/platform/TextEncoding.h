// TextEncoding: the conversion of the program's 8-bit text to the UTF-8 that SDL expects.
#pragma once

#include "runtime/String.h"

#include <string>

namespace mph {

class TextEncoding {
public:
    // Each byte is a Latin-1 character.
    static std::string latin1ToUtf8(std::string_view text) {
        std::string out;
        out.reserve(text.size());
        for (char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            if (c < 0x80) {
                out += static_cast<char>(c);
            } else {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        return out;
    }
};

} // namespace mph
