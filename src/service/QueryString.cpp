// QueryString: splitting and percent-decoding of a request's query.
#include "service/QueryString.h"

namespace mph::service {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

bool QueryString::decode(std::string_view in, std::string& out) {
    out.clear();
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        const char c = in[i];
        if (c == '+') {
            out.push_back(' ');
        } else if (c == '%') {
            if (i + 2 >= in.size()) return false;
            const int hi = hexValue(in[i + 1]);
            const int lo = hexValue(in[i + 2]);
            if (hi < 0 || lo < 0) return false;
            out.push_back(static_cast<char>(hi * 16 + lo));
            i += 2;
        } else {
            out.push_back(c);
        }
    }
    return true;
}

QueryString::Error QueryString::parse(std::string_view raw, QueryString& out) {
    out.m_params.clear();
    if (raw.size() > kMaxLength) return Error::TooLong;
    size_t pos = 0;
    while (pos <= raw.size()) {
        size_t end = raw.find('&', pos);
        if (end == std::string_view::npos) end = raw.size();
        const std::string_view piece = raw.substr(pos, end - pos);
        pos = end + 1;
        if (piece.empty()) continue;
        if (out.m_params.size() == kMaxParameters) return Error::TooMany;
        const size_t eq = piece.find('=');
        std::string key, value;
        if (!decode(piece.substr(0, eq), key)) return Error::BadEscape;
        if (eq != std::string_view::npos && !decode(piece.substr(eq + 1), value)) return Error::BadEscape;
        if (out.get(key) != nullptr) return Error::Duplicate;
        out.m_params.emplace_back(std::move(key), std::move(value));
    }
    return Error::None;
}

const char* QueryString::describe(Error error) {
    switch (error) {
    case Error::None:
        return "fine";
    case Error::TooLong:
        return "query too long";
    case Error::TooMany:
        return "too many parameters";
    case Error::BadEscape:
        return "malformed percent-escape";
    case Error::Duplicate:
        return "a parameter given twice";
    }
    return "malformed query";
}

const std::string* QueryString::get(std::string_view key) const {
    for (const auto& [k, v] : m_params)
        if (k == key) return &v;
    return nullptr;
}

} // namespace mph::service
