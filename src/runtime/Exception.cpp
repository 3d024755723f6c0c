// Raising exceptions.
#include "runtime/Exception.h"

namespace lang {

void throwException(const char* message) { throw new Exception(message); }

void throwException(const String& message) { throw new Exception(message); }

} // namespace lang
