// InputStreamReader: every operation forwards to the wrapped stream.
#include "io/InputStreamReader.h"

namespace mph {

InputStreamReader::~InputStreamReader() {
    if (m_stream) m_stream->close();
}

void InputStreamReader::close() {
    if (m_stream) m_stream->close();
}

int32_t InputStreamReader::read(uint8_t* buffer, int32_t offset, int32_t count) {
    return m_stream ? m_stream->read(buffer, offset, count) : -1;
}

int32_t InputStreamReader::read() { return m_stream ? m_stream->read() : -1; }

void InputStreamReader::reset() {
    if (m_stream) m_stream->reset();
}

int32_t InputStreamReader::skip(int32_t n) { return m_stream ? m_stream->skip(n) : 0; }

} // namespace mph
