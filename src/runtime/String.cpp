// String: construction, the buffer rules and the text operations.
#include "runtime/String.h"

#include "runtime/Locale.h"
#include "runtime/SyncGuard.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace lang {

Object& stringAllocLock() {
    static auto* lock = new Object; // never destroyed: strings may be freed during static teardown
    return *lock;
}

namespace {

char* allocateBuffer(int32_t size) {
    SyncGuard guard(&stringAllocLock());
    return static_cast<char*>(std::malloc(static_cast<size_t>(size)));
}

void freeBuffer(char* buffer) {
    SyncGuard guard(&stringAllocLock());
    std::free(buffer);
}

// Decimal digits of value, most significant first, with a leading "-" for negative values.
int32_t decimalText(int32_t value, char (&out)[16]) {
    char digits[16];
    int n = 0;
    int64_t v = value;
    const bool negative = v < 0;
    if (negative) v = -v;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    int32_t len = 0;
    if (negative) out[len++] = '-';
    while (n > 0) out[len++] = digits[--n];
    out[len] = '\0';
    return len;
}

} // namespace

String::String(const String& other) : Object() {
    m_capacity = other.m_length + 1;
    m_data = allocateBuffer(m_capacity);
    std::memcpy(m_data, other.c_str(), static_cast<size_t>(other.m_length) + 1);
    m_length = other.m_length;
}

String::String(const String& other, int32_t minCapacity) : Object() {
    m_capacity = std::max(other.m_length + 1, minCapacity);
    m_data = allocateBuffer(m_capacity);
    std::memcpy(m_data, other.c_str(), static_cast<size_t>(other.m_length) + 1);
    m_length = other.m_length;
}

String::String(String&& other) noexcept
    : Object(), m_data(std::exchange(other.m_data, nullptr)), m_capacity(std::exchange(other.m_capacity, 0)),
      m_length(std::exchange(other.m_length, 0)) {}

String::String(const char* text, bool wrap) {
    if (text == nullptr) return;
    const auto len = static_cast<int32_t>(std::strlen(text));
    if (wrap) {
        m_data = const_cast<char*>(text);
        m_length = len;
        return;
    }
    replaceBytes(text, len);
}

String::String(const char* bytes, int32_t begin, int32_t end) {
    const int32_t len = bytes != nullptr && end > begin ? end - begin : 0;
    m_capacity = len + 1;
    m_data = allocateBuffer(m_capacity);
    if (len > 0) std::memcpy(m_data, bytes + begin, static_cast<size_t>(len));
    m_data[len] = '\0';
    m_length = len;
}

String::String(char c, int32_t minCapacity) {
    m_capacity = std::max(2, minCapacity);
    m_data = allocateBuffer(m_capacity);
    m_data[0] = c;
    m_data[1] = '\0';
    m_length = c == '\0' ? 0 : 1;
}

String::String(std::string_view text) { replaceBytes(text.data(), static_cast<int32_t>(text.size())); }

String::String(int32_t value) { setInt(value); }

String::String(double value) {
    const std::string text = formatDouble(value);
    replaceBytes(text.data(), static_cast<int32_t>(text.size()));
}

String::~String() {
    if (m_capacity > 0) freeBuffer(m_data);
}

String& String::operator=(String&& other) noexcept {
    if (this != &other) {
        if (m_capacity > 0) freeBuffer(m_data);
        m_data = std::exchange(other.m_data, nullptr);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_length = std::exchange(other.m_length, 0);
    }
    return *this;
}

// Replaces the text; the buffer is reallocated to exactly length + 1 bytes only when it is too small
// (or borrowed).
void String::replaceBytes(const char* bytes, int32_t length) {
    if (m_capacity < length + 1) {
        char* fresh;
        {
            SyncGuard guard(&stringAllocLock());
            if (m_capacity > 0) std::free(m_data);
            fresh = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
        }
        m_data = fresh;
        m_capacity = length + 1;
    }
    if (length > 0) std::memmove(m_data, bytes, static_cast<size_t>(length));
    m_data[length] = '\0';
    m_length = length;
}

void String::appendBytes(const char* bytes, int32_t length) {
    if (length <= 0) return;
    const int32_t newLength = m_length + length;
    if (newLength + 1 > m_capacity) {
        SyncGuard guard(&stringAllocLock());
        auto* fresh = static_cast<char*>(std::malloc(static_cast<size_t>(newLength) + 1));
        if (m_length > 0) std::memcpy(fresh, m_data, static_cast<size_t>(m_length));
        // bytes may point into our own buffer, so copy them before the old buffer goes.
        std::memcpy(fresh + m_length, bytes, static_cast<size_t>(length));
        if (m_capacity > 0) std::free(m_data);
        m_data = fresh;
        m_capacity = newLength + 1;
    } else {
        std::memmove(m_data + m_length, bytes, static_cast<size_t>(length));
    }
    m_data[newLength] = '\0';
    m_length = newLength;
}

String& String::assign(const String& other) {
    if (this != &other) replaceBytes(other.c_str(), other.m_length);
    return *this;
}

String& String::assign(const char* text) {
    const char* t = text ? text : "";
    replaceBytes(t, static_cast<int32_t>(std::strlen(t)));
    return *this;
}

String& String::assign(char c) {
    replaceBytes(&c, c == '\0' ? 0 : 1);
    return *this;
}

String& String::setInt(int32_t value) {
    char text[16];
    const int32_t len = decimalText(value, text);
    replaceBytes(text, len);
    return *this;
}

String& String::formatThousands(int32_t value) {
    if (value < 0) {
        replaceBytes("", 0);
        return *this;
    }
    if (value == 0) {
        replaceBytes("0", 1);
        return *this;
    }
    const char separator = Locale::thousandsSeparator();
    char text[32];
    int n = 0;
    int group = 0;
    for (int32_t v = value; v > 0; v /= 10) {
        if (group == 3) {
            text[n++] = separator;
            group = 0;
        }
        text[n++] = static_cast<char>('0' + v % 10);
        ++group;
    }
    std::reverse(text, text + n);
    replaceBytes(text, n);
    return *this;
}

String& String::append(const char* text) {
    if (text) appendBytes(text, static_cast<int32_t>(std::strlen(text)));
    return *this;
}

String& String::append(const String& other) {
    appendBytes(other.c_str(), other.m_length);
    return *this;
}

String& String::append(char c) {
    if (c != '\0') appendBytes(&c, 1);
    return *this;
}

String& String::append(int32_t value) {
    char text[16];
    const int32_t len = decimalText(value, text);
    appendBytes(text, len);
    return *this;
}

String operator+(const String& a, const char* b) {
    String s(a, a.length() + 1 + static_cast<int32_t>(b ? std::strlen(b) : 0));
    return std::move(s.append(b));
}

String operator+(const String& a, const String& b) {
    String s(a, a.length() + b.length() + 1);
    return std::move(s.append(b));
}

String operator+(const String& a, char b) {
    String s(a, a.length() + 2);
    return std::move(s.append(b));
}

String operator+(const String& a, int32_t b) {
    String s(a, a.length() + 12);
    return std::move(s.append(b));
}

String String::substring(int32_t begin) const { return substring(begin, m_length); }

String String::substring(int32_t begin, int32_t end) const {
    begin = std::clamp(begin, 0, m_length);
    end = std::clamp(end, begin, m_length);
    return String(c_str(), begin, end);
}

bool String::startsWith(const char* prefix) const {
    const char* p = prefix ? prefix : "";
    const size_t n = std::strlen(p);
    return n <= static_cast<size_t>(m_length) && std::memcmp(c_str(), p, n) == 0;
}

bool String::endsWith(const char* suffix) const {
    const char* p = suffix ? suffix : "";
    const size_t n = std::strlen(p);
    return n <= static_cast<size_t>(m_length) && std::memcmp(c_str() + m_length - n, p, n) == 0;
}

int32_t String::indexOf(char c) const {
    for (int32_t i = 0; i < m_length; ++i)
        if (m_data[i] == c) return i;
    return -1;
}

int32_t String::lastIndexOf(char c) const {
    for (int32_t i = m_length - 1; i >= 0; --i)
        if (m_data[i] == c) return i;
    return -1;
}

bool String::equalsIgnoreCase(const char* text) const { return compareIgnoreCase(c_str(), text) == 0; }

int32_t String::hashCode() const {
    uint32_t h = 0;
    int shift = 0;
    for (int32_t i = 0; i < m_length; ++i) {
        // Each byte is sign-extended, so bytes of 128 and above set every bit above their lane.
        const auto b = static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(m_data[i])));
        h |= b << shift;
        shift += 8;
        if (shift > 24) shift = 0;
    }
    return static_cast<int32_t>(h);
}

bool String::equals(const Object* other) const {
    if (other == nullptr || !other->instanceOf("String")) return false;
    return *this == *static_cast<const String*>(other);
}

bool String::operator==(const String& other) const {
    return m_length == other.m_length && std::memcmp(c_str(), other.c_str(), static_cast<size_t>(m_length)) == 0;
}

bool String::operator==(const char* text) const { return compareBytes(c_str(), text) == 0; }

std::string formatDouble(double value) {
    if (std::isnan(value)) return "1.#QNAN";
    if (std::isinf(value)) return value < 0 ? "-1.#INF" : "1.#INF";
    constexpr int kDigits = 9;
    std::string out;
    if (value < 0) {
        out += '-';
        value = -value;
    }
    // Nine significant digits and the decimal exponent, correctly rounded.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", kDigits - 1, value);
    std::string digits;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits += *p;
    const int exponent = value == 0.0 ? 0 : std::atoi(p + 1);
    // Trailing zeros never show; the point always does.
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    if (exponent < -4 || exponent >= kDigits) {
        out += digits[0];
        out += '.';
        out.append(digits, 1, std::string::npos);
        char e[16];
        std::snprintf(e, sizeof e, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out += e;
    } else if (exponent < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        const auto whole = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= whole) {
            out += digits;
            out.append(whole - digits.size(), '0');
            out += '.';
        } else {
            out.append(digits, 0, whole);
            out += '.';
            out.append(digits, whole, std::string::npos);
        }
    }
    return out;
}

} // namespace lang
