// ImagePackReader: the head check and the record reader of image packs.
#include "io/ImagePackReader.h"

#include <algorithm>

using namespace lang;

namespace mph {

ImagePackReader::ImagePackReader(Ref<InputStream> stream) : m_stream(std::move(stream)) {
    uint32_t count = 0;
    uint32_t total = 0;
    if (!m_stream || !readInt(count) || !readInt(total)) return;
    const auto c = static_cast<int32_t>(count);
    const auto t = static_cast<int32_t>(total);
    m_valid = c >= 1 && t <= kMaxTotalSize && static_cast<int64_t>(t) >= 4 * static_cast<int64_t>(c);
    if (m_valid) {
        m_count = c;
        m_totalSize = t;
    }
}

ImagePackReader::~ImagePackReader() { close(); }

void ImagePackReader::close() {
    if (m_stream) m_stream->close();
    m_stream = nullptr;
    m_valid = false;
}

bool ImagePackReader::readInt(uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        const int32_t b = m_stream->read();
        if (b < 0) return false;
        value = value << 8 | static_cast<uint32_t>(b & 0xFF);
    }
    return true;
}

bool ImagePackReader::next(Record& record) {
    if (!m_valid || m_index >= m_count) return false;
    ++m_index;
    uint32_t dataLength = 0;
    int32_t nameLength = 0;
    if (!readInt(dataLength) || (nameLength = m_stream->read()) < 0) {
        close();
        return false;
    }
    std::string name(static_cast<size_t>(nameLength), '\0');
    if (nameLength > 0 &&
        m_stream->read(reinterpret_cast<uint8_t*>(name.data()), 0, nameLength) != nameLength) {
        close();
        return false;
    }
    // The last stored byte is the name's terminator; a zero-length name has none to drop.
    if (nameLength > 0) name.pop_back();
    m_consumed += 4 + 1 + nameLength;
    if (static_cast<int64_t>(dataLength) > m_totalSize - m_consumed) {
        close();
        return false;
    }
    record.name = String(std::string_view(name));
    record.data.clear();
    // The declared length is at most the declared total, which the file need not back, so the buffer grows
    // with the bytes that really arrive rather than being allocated up front.
    constexpr int32_t kStep = 64 * 1024;
    const auto wanted = static_cast<int32_t>(dataLength);
    while (static_cast<int32_t>(record.data.size()) < wanted) {
        const auto have = static_cast<int32_t>(record.data.size());
        const int32_t step = std::min(kStep, wanted - have);
        record.data.resize(static_cast<size_t>(have + step));
        const int32_t got = m_stream->read(record.data.data(), have, step);
        if (got <= 0) {
            close();
            return false;
        }
        record.data.resize(static_cast<size_t>(have + got));
    }
    m_consumed += wanted;
    for (uint8_t& b : record.data) b ^= kMask;
    return true;
}

} // namespace mph
