// BooleanArray resizing and assignment.
#include "runtime/BooleanArray.h"

#include "runtime/SyncGuard.h"

#include <algorithm>
#include <cstring>

namespace lang {

void BooleanArray::resize(int32_t n) {
    if (n < 0) n = 0;
    auto* fresh = new uint8_t[static_cast<size_t>(n)]();
    const int32_t keep = std::min(length, n);
    if (keep > 0) std::memcpy(fresh, data, static_cast<size_t>(keep));
    delete[] data;
    data = fresh;
    length = n;
}

void BooleanArray::assign(const BooleanArray& other) {
    SyncGuard guard(this);
    if (&other == this) return;
    resize(other.length);
    if (length > 0) std::memcpy(data, other.data, static_cast<size_t>(length));
}

} // namespace lang
