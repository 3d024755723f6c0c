// URL: an absolute URL taken apart into scheme, host, port and the path with its query.
#include "io/URL.h"

#include "io/URLConnection.h"

#include <cctype>
#include <string>
#include <string_view>

using namespace lang;

namespace mph {

namespace {

bool isSchemeChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.'; }

// Escapes what may not travel raw in a request line: controls, space, bytes above 0x7E and the
// characters that no URL may hold unescaped. "%" stays, since the text may already be escaped.
std::string escapePath(std::string_view path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' || c == '`' ||
            c == '{' || c == '|' || c == '}') {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

} // namespace

URL::URL(const char* text) {
    if (text == nullptr) return;
    const std::string_view t(text);
    const size_t colon = t.find(':');
    if (colon == 0 || colon == std::string_view::npos || !std::isalpha(static_cast<unsigned char>(t[0]))) return;
    for (size_t i = 0; i < colon; ++i)
        if (!isSchemeChar(t[i])) return;
    if (t.substr(colon + 1, 2) != "//") return;

    const size_t authorityStart = colon + 3;
    size_t authorityEnd = t.find_first_of("/?#", authorityStart);
    if (authorityEnd == std::string_view::npos) authorityEnd = t.size();
    std::string_view authority = t.substr(authorityStart, authorityEnd - authorityStart);
    // A user name and password are not used for these requests; they are dropped.
    if (const size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);

    std::string_view hostPart = authority;
    std::string_view portPart;
    bool hasPort = false;
    if (!authority.empty() && authority[0] == '[') {
        const size_t close = authority.find(']');
        if (close == std::string_view::npos) return;
        hostPart = authority.substr(0, close + 1);
        const std::string_view rest = authority.substr(close + 1);
        if (!rest.empty()) {
            if (rest[0] != ':') return;
            portPart = rest.substr(1);
            hasPort = true;
        }
    } else if (const size_t c = authority.rfind(':'); c != std::string_view::npos) {
        hostPart = authority.substr(0, c);
        portPart = authority.substr(c + 1);
        hasPort = true;
    }
    if (hostPart.empty() || hostPart == "[]") return;

    const String schemeText(t.substr(0, colon));
    int32_t portNumber = defaultPort(schemeText);
    if (hasPort && !portPart.empty()) {
        if (portPart.size() > 5) return;
        portNumber = 0;
        for (char c : portPart) {
            if (c < '0' || c > '9') return;
            portNumber = portNumber * 10 + (c - '0');
        }
        if (portNumber > 65535) return;
    }

    std::string_view rest = t.substr(authorityEnd);
    rest = rest.substr(0, rest.find('#'));
    scheme = schemeText;
    host = String(hostPart);
    port = portNumber;
    path = String(rest);
    valid = true;
}

int32_t URL::defaultPort(const String& scheme) {
    if (scheme.equalsIgnoreCase("http")) return 80;
    if (scheme.equalsIgnoreCase("https")) return 443;
    if (scheme.equalsIgnoreCase("ftp")) return 21;
    return 0;
}

String URL::toString() const {
    if (!valid) return String();
    std::string text = scheme.str();
    text.append("://").append(host.view());
    if (port != defaultPort(scheme)) text.append(":").append(std::to_string(port));
    text.append(escapePath(path.view()));
    return String(std::string_view(text));
}

std::string URL::requestTarget() const {
    std::string text = scheme.str();
    text.append("://").append(host.view()).append(":").append(std::to_string(port));
    if (path.charAt(0) != '/') text += '/';
    return text.append(escapePath(path.view()));
}

URLConnection* URL::openConnection() const { return valid ? new URLConnection(*this) : nullptr; }

} // namespace mph
