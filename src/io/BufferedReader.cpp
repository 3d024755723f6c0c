// BufferedReader: buffer refills, byte reads and skips over the source reader.
#include "io/BufferedReader.h"

#include <algorithm>
#include <cstring>

namespace mph {

BufferedReader::~BufferedReader() {
    if (m_reader) m_reader->close();
}

void BufferedReader::close() {
    if (m_reader) m_reader->close();
}

bool BufferedReader::fill() {
    if (m_position < m_size) return true;
    m_position = 0;
    m_size = 0;
    if (!m_reader) return false;
    const int32_t got = m_reader->read(m_buffer, 0, kBufferSize);
    if (got <= 0) return false;
    m_size = std::min(got, kBufferSize);
    return true;
}

int32_t BufferedReader::read(uint8_t* buffer, int32_t offset, int32_t count) {
    if (buffer == nullptr || offset < 0 || count <= 0) return 0;
    int32_t done = 0;
    while (done < count && fill()) {
        const int32_t n = std::min(count - done, m_size - m_position);
        std::memcpy(buffer + offset + done, m_buffer + m_position, static_cast<size_t>(n));
        m_position += n;
        done += n;
    }
    return done;
}

int32_t BufferedReader::read() {
    if (!fill()) return -1;
    return m_buffer[m_position++];
}

bool BufferedReader::ready() { return m_reader && m_reader->ready(); }

void BufferedReader::reset() {
    m_size = 0;
    m_position = 0;
    if (m_reader) m_reader->reset();
}

int32_t BufferedReader::skip(int32_t n) {
    if (n <= 0) return 0;
    const int32_t buffered = m_size - m_position;
    if (buffered >= n) {
        m_position += n;
        return n;
    }
    m_size = 0;
    m_position = 0;
    const int32_t moved = m_reader ? m_reader->skip(n - buffered) : 0;
    return buffered + std::max(moved, 0);
}

} // namespace mph
