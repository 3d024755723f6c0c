// ByteArrayInputStream: reading, skipping and finding container items for memory streams.
#include "io/ByteArrayInputStream.h"

#include "io/Resources.h"

#include <algorithm>
#include <cstring>

using namespace lang;

namespace mph {

ByteArrayInputStream::ByteArrayInputStream(const uint8_t* data, int32_t size)
    : m_data(data), m_size(data != nullptr && size > 0 ? size : 0) {}

ByteArrayInputStream::ByteArrayInputStream(const String& name)
    : ByteArrayInputStream(findItem(name.startsWith("+") ? name.substring(1) : name)) {}

ByteArrayInputStream::ByteArrayInputStream(Ref<ResourceItem> item) : m_item(std::move(item)) {
    if (m_item) {
        m_data = m_item->getData();
        m_size = m_data != nullptr ? std::max(m_item->getLength(), 0) : 0;
    }
}

int32_t ByteArrayInputStream::read() {
    if (m_position >= m_size) return -1;
    return m_data[m_position++];
}

int32_t ByteArrayInputStream::read(uint8_t* buffer, int32_t offset, int32_t count) {
    if (buffer == nullptr || offset < 0 || count <= 0 || m_position >= m_size) return 0;
    const int32_t n = std::min(count, m_size - m_position);
    std::memcpy(buffer + offset, m_data + m_position, static_cast<size_t>(n));
    m_position += n;
    return n;
}

int32_t ByteArrayInputStream::skip(int32_t n) {
    // Clamped at both ends: a negative distance never moves the position before the first byte.
    const int64_t target = std::clamp<int64_t>(static_cast<int64_t>(m_position) + n, 0, m_size);
    const int32_t moved = static_cast<int32_t>(target - m_position);
    m_position = static_cast<int32_t>(target);
    return moved;
}

} // namespace mph
