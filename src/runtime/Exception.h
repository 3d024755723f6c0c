// Exception: the runtime's one exception type, thrown by pointer and owned by whoever catches it.
#pragma once

#include "runtime/String.h"

namespace lang {

class Exception : public Object {
    LANG_CLASS(Exception, Object)

public:
    explicit Exception(const char* message) : m_message(message) {}
    explicit Exception(const String& message) : m_message(message) {}

    String toString() const override { return m_message; }
    const String& getMessage() const { return m_message; }

private:
    String m_message;
};

// Throws a new Exception with the message; the catcher releases it.
[[noreturn]] void throwException(const char* message);
[[noreturn]] void throwException(const String& message);

} // namespace lang
