// ObjectArray resizing and assignment.
#include "runtime/ObjectArray.h"

#include "runtime/SyncGuard.h"

#include <algorithm>
#include <cstring>

namespace lang {

void ObjectArray::resize(int32_t n) {
    SyncGuard guard(this);
    if (n < 0) n = 0;
    auto** fresh = new Object*[static_cast<size_t>(n)]();
    const int32_t keep = std::min(length, n);
    if (keep > 0) std::memcpy(fresh, data, sizeof(Object*) * static_cast<size_t>(keep));
    delete[] data;
    data = fresh;
    length = n;
}

void ObjectArray::assign(ObjectArray& other) {
    SyncGuard guard(this);
    if (&other == this) return;
    resize(other.length);
    if (length > 0) std::memcpy(data, other.data, sizeof(Object*) * static_cast<size_t>(length));
}

} // namespace lang
