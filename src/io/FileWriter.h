// Writing a whole file safely: the bytes go to a temporary file that replaces the target only when complete.
#pragma once

#include "runtime/String.h"

#include <cstdint>
#include <vector>

namespace mph {

// Writes bytes to path through a temporary file in the same directory; throws "Error Writing " followed by
// the path when it cannot, leaving any earlier file at path untouched.
void writeFileAtomically(const lang::String& path, const std::vector<uint8_t>& bytes);

// The whole content of the file at path; throws "Error Opening " followed by the path when it cannot.
std::vector<uint8_t> readWholeFile(const lang::String& path);

} // namespace mph
