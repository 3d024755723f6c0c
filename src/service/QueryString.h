// QueryString: the parameters of a request's query, split at '&' and '=' and percent-decoded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mph::service {

class QueryString {
public:
    // Longer queries are refused outright: no request of the game comes near this.
    static constexpr size_t kMaxLength = 1024;
    static constexpr size_t kMaxParameters = 16;

    enum class Error { None, TooLong, TooMany, BadEscape, Duplicate };

    // Reads the text after the '?' (without it). Empty pieces ("a=1&&b=2") are skipped; a key without
    // '=' has an empty value. Keys and values are decoded; a key given twice is an error, since it is
    // unclear which one the sender meant.
    static Error parse(std::string_view raw, QueryString& out);

    // Percent-decoding as browsers and the game encode queries: "%XX" is the byte XX, '+' is a space.
    // False for a '%' not followed by two hex digits.
    static bool decode(std::string_view in, std::string& out);

    static const char* describe(Error error);

    // The value of key, or null when absent.
    const std::string* get(std::string_view key) const;
    size_t size() const { return m_params.size(); }

private:
    std::vector<std::pair<std::string, std::string>> m_params;
};

} // namespace mph::service
