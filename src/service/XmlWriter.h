// XmlWriter: appends a well-formed ISO-8859-1 XML document to a string, escaping every text it is given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mph::service {

class XmlWriter {
public:
    explicit XmlWriter(std::string& out) : m_out(out) {}

    // The declaration that makes readers take the text's bytes as Latin-1 rather than UTF-8.
    void declaration();
    void open(std::string_view name);
    void close(std::string_view name);
    void element(std::string_view name, std::string_view text);
    void element(std::string_view name, int64_t value);

    // Appends text with markup characters as entities. Bytes 0x80 to 0xFF are Latin-1 letters and stay
    // as they are; control bytes that XML cannot carry at all become '?'.
    static void escape(std::string_view text, std::string& out);

private:
    std::string& m_out;
};

} // namespace mph::service
