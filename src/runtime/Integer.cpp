// Integer's text form.
#include "runtime/Integer.h"

#include "runtime/String.h"

namespace lang {

String Integer::toString() const { return String(m_value); }

} // namespace lang
