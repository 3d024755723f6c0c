// IntArray resizing and assignment.
#include "runtime/IntArray.h"

#include "runtime/SyncGuard.h"

#include <algorithm>
#include <cstring>

namespace lang {

IntArray::IntArray(int32_t n) : data(new int32_t[static_cast<size_t>(std::max(n, 0))]()), length(std::max(n, 0)) {}

void IntArray::resize(int32_t n) {
    if (n < 0) n = 0;
    auto* fresh = new int32_t[static_cast<size_t>(n)]();
    const int32_t keep = std::min(length, n);
    if (keep > 0) std::memcpy(fresh, data, sizeof(int32_t) * static_cast<size_t>(keep));
    delete[] data;
    data = fresh;
    length = n;
}

void IntArray::assign(const IntArray& other) {
    SyncGuard guard(this);
    if (&other == this) return;
    resize(other.length);
    if (length > 0) std::memcpy(data, other.data, sizeof(int32_t) * static_cast<size_t>(length));
}

} // namespace lang
