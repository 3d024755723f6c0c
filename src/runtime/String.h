// String: the program's one 8-bit text type, a counted object that is mostly used by value.
#pragma once

#include "runtime/Object.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lang {

class String : public Object {
    LANG_CLASS(String, Object)

public:
    String() noexcept = default;
    String(const String& other);
    String(const String& other, int32_t minCapacity);
    String(String&& other) noexcept;
    // An owned copy of text (null gives the empty string), or with wrap a view that borrows text.
    String(const char* text, bool wrap = false);
    // The bytes [begin, end) of bytes.
    String(const char* bytes, int32_t begin, int32_t end);
    // The one character c in a buffer of at least minCapacity bytes.
    String(char c, int32_t minCapacity);
    explicit String(std::string_view text);
    explicit String(int32_t value);
    // The value with 9 significant digits; a whole number keeps its point ("100.").
    explicit String(double value);
    ~String() override;

    String& operator=(const String& other) { return assign(other); }
    String& operator=(String&& other) noexcept;
    String& operator=(const char* text) { return assign(text); }

    String& assign(const String& other);
    String& assign(const char* text);
    String& assign(char c);
    String& setInt(int32_t value);
    // Replaces the text by value with the user's thousands separator; a negative value gives "".
    String& formatThousands(int32_t value);

    String& append(const char* text);
    String& append(const String& other);
    String& append(char c);
    String& append(int32_t value);
    String& operator+=(const char* text) { return append(text); }
    String& operator+=(const String& other) { return append(other); }
    String& operator+=(char c) { return append(c); }

    friend String operator+(const String& a, const char* b);
    friend String operator+(const String& a, const String& b);
    friend String operator+(const String& a, char b);
    friend String operator+(const String& a, int32_t b);

    String substring(int32_t begin) const;
    String substring(int32_t begin, int32_t end) const;
    bool startsWith(const char* prefix) const;
    bool endsWith(const char* suffix) const;
    int32_t indexOf(char c) const;
    int32_t lastIndexOf(char c) const;
    bool equalsIgnoreCase(const char* text) const;

    int32_t hashCode() const override;
    bool equals(const Object* other) const override;
    String toString() const override { return *this; }

    // The text; never null ("" for an empty string).
    const char* c_str() const { return m_data ? m_data : ""; }
    const char* data() const { return m_data; }
    int32_t length() const { return m_length; }
    int32_t capacity() const { return m_capacity; }
    bool isEmpty() const { return m_length == 0; }
    char charAt(int32_t index) const { return index >= 0 && index < m_length ? m_data[index] : '\0'; }
    std::string_view view() const { return {c_str(), static_cast<size_t>(m_length)}; }
    std::string str() const { return std::string(view()); }

    bool operator==(const String& other) const;
    bool operator==(const char* text) const;

private:
    void replaceBytes(const char* bytes, int32_t length);
    void appendBytes(const char* bytes, int32_t length);

    char* m_data = nullptr;
    int32_t m_capacity = 0; // 0: the buffer is borrowed or absent and never freed here
    int32_t m_length = 0;
};

// Decimal text of a double as _gcvt writes it with 9 significant digits.
std::string formatDouble(double value);

// The process-wide object whose monitor serialises every reallocation of a string's buffer.
Object& stringAllocLock();

} // namespace lang
