// WebText: the game's 8-bit names made safe for pages and JSON: each byte a Latin-1 character in UTF-8,
// markup and quotes escaped, control bytes shown as characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mph::service {

class WebText {
public:
    // Appends latin1 as HTML text (fit for an element's content and a quoted attribute): & < > " ' as
    // character references; a control byte as a visible character (0x00 to 0x1F as their control
    // pictures U+2400 to U+241F, 0x7F as U+2421, 0x80 to 0x9F as U+FFFD), never as itself.
    static void html(std::string_view latin1, std::string& out);
    // Appends latin1 as a quoted JSON string: " and \ escaped, every control character (0x00 to 0x1F and
    // 0x7F to 0x9F) as \u00XX, and < > & as \u003c \u003e \u0026 so the text is inert inside a page too.
    static void json(std::string_view latin1, std::string& out);
    // Appends value with a comma between each group of three digits: 1234567 gives "1,234,567".
    static void grouped(int64_t value, std::string& out);
};

} // namespace mph::service
