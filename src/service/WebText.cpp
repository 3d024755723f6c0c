// WebText: byte-by-byte escaping of names for HTML and JSON.
#include "service/WebText.h"

namespace mph::service {

namespace {

void utf8(uint32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

constexpr uint32_t kControlPictures = 0x2400;
constexpr uint32_t kDeletePicture = 0x2421;
constexpr uint32_t kReplacement = 0xFFFD;

} // namespace

void WebText::html(std::string_view latin1, std::string& out) {
    for (const char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            if (c < 0x20)
                utf8(kControlPictures + c, out);
            else if (c == 0x7F)
                utf8(kDeletePicture, out);
            else if (c >= 0x80 && c < 0xA0)
                utf8(kReplacement, out);
            else
                utf8(c, out);
        }
    }
}

void WebText::json(std::string_view latin1, std::string& out) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == '<' || c == '>' || c == '&') {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            utf8(c, out);
        }
    }
    out += '"';
}

void WebText::grouped(int64_t value, std::string& out) {
    if (value < 0) out += '-';
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const std::string digits = std::to_string(magnitude);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
}

} // namespace mph::service
