// XmlWriter: elements and escaped text of the service's replies.
#include "service/XmlWriter.h"

#include <charconv>

namespace mph::service {

void XmlWriter::declaration() {
    m_out += "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
}

void XmlWriter::open(std::string_view name) {
    m_out += '<';
    m_out += name;
    m_out += '>';
}

void XmlWriter::close(std::string_view name) {
    m_out += "</";
    m_out += name;
    m_out += '>';
}

void XmlWriter::element(std::string_view name, std::string_view text) {
    open(name);
    escape(text, m_out);
    close(name);
}

void XmlWriter::element(std::string_view name, int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    open(name);
    m_out.append(digits, result.ptr);
    close(name);
}

void XmlWriter::escape(std::string_view text, std::string& out) {
    for (char c : text) {
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
            out += "&apos;";
            break;
        default: {
            const auto b = static_cast<unsigned char>(c);
            out += b < 0x20 && c != '\t' && c != '\n' && c != '\r' ? '?' : c;
        }
        }
    }
}

} // namespace mph::service
