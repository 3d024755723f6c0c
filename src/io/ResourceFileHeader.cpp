// ResourceFileHeader: reading a container's directory and loading its items from the open file.
#include "io/ResourceFileHeader.h"

#include "io/ContainerWriter.h"
#include "io/Crc32.h"
#include "io/FileInputStream.h"
#include "runtime/SyncGuard.h"

#include <algorithm>
#include <climits>
#include <cstring>

using namespace lang;

namespace mph {

namespace {

Ref<FileInputStream> openFile(const String& path, int64_t& size) {
    auto stream = make<FileInputStream>(path);
    size = std::max<int64_t>(stream->size(), 0);
    return stream;
}

// Moves stream forward by distance bytes, in steps that fit the stream's signed count.
void skipFully(InputStream& stream, int64_t distance) {
    while (distance > 0) {
        const int32_t step = static_cast<int32_t>(std::min<int64_t>(distance, INT32_MAX));
        const int32_t moved = stream.skip(step);
        if (moved <= 0) return;
        distance -= moved;
    }
}

} // namespace

ResourceFileHeader::ResourceFileHeader(const String& path) {
    m_stream = openFile(path, m_size);
    readDirectory();
}

ResourceFileHeader::ResourceFileHeader(Ref<InputStream> stream, int64_t size)
    : m_stream(std::move(stream)), m_size(std::max<int64_t>(size, 0)) {
    if (m_stream) readDirectory();
}

ResourceFileHeader::~ResourceFileHeader() {
    if (m_stream) m_stream->close();
}

bool ResourceFileHeader::readBytes(uint8_t* out, int64_t count) {
    // Every field is checked against what is left of the file before anything is allocated or read, so a
    // damaged count or length ends the directory instead of asking for memory the file cannot back.
    if (count < 0 || count > m_size - m_position) return false;
    int64_t done = 0;
    while (done < count) {
        const int32_t step = static_cast<int32_t>(std::min<int64_t>(count - done, INT32_MAX));
        const int32_t got = m_stream->read(out, static_cast<int32_t>(done), step);
        if (got <= 0) return false;
        done += got;
    }
    m_position += count;
    return true;
}

bool ResourceFileHeader::readWord(uint32_t& value) {
    uint8_t b[4];
    if (!readBytes(b, 4)) return false;
    value = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
            static_cast<uint32_t>(b[3]) << 24;
    return true;
}

void ResourceFileHeader::readDirectory() {
    m_stream->reset();
    uint32_t lead = 0;
    uint32_t blockSize = 0;
    if (!readWord(lead) || !readWord(blockSize)) return;
    if (blockSize > m_size - m_position) return;
    m_block.resize(blockSize);
    if (blockSize > 0 && !readBytes(m_block.data(), blockSize)) {
        m_block.clear();
        return;
    }
    uint32_t itemCount = 0;
    if (!readWord(itemCount)) return;
    // The count is trusted only as far as the file goes: each entry takes at least 9 bytes of it.
    for (uint32_t i = 0; i < itemCount; ++i) {
        uint8_t nameLength = 0;
        char name[256];
        uint32_t offset = 0;
        uint32_t length = 0;
        if (!readBytes(&nameLength, 1) || !readBytes(reinterpret_cast<uint8_t*>(name), nameLength) ||
            !readWord(offset) || !readWord(length))
            return;
        String key(name, 0, nameLength);
        const int32_t usable = static_cast<int32_t>(std::min<int64_t>({length, m_size, INT32_MAX}));
        auto item = make<FileItem>(offset, usable);
        m_directory.put(key, item.get());
        m_entries.push_back(Entry{key, offset, length});
    }
    m_directoryComplete = true;
}

bool ResourceFileHeader::checkIntact(std::string& reason) {
    SyncGuard guard(this);
    if (!m_directoryComplete) {
        reason = "its directory is cut short";
        return false;
    }
    uint64_t dataStart = static_cast<uint64_t>(m_position);
    for (const Entry& e : m_entries) {
        if (static_cast<uint64_t>(e.offset) + e.length > static_cast<uint64_t>(m_size)) {
            reason = "item \"" + e.name.str() + "\" runs past the end of the file";
            return false;
        }
    }
    const bool sealed = m_block.size() == ContainerWriter::kSealSize &&
                        std::equal(m_block.begin(), m_block.begin() + 4, ContainerWriter::kSealTag);
    if (!sealed) return true;
    const uint32_t stored = static_cast<uint32_t>(m_block[4]) | static_cast<uint32_t>(m_block[5]) << 8 |
                            static_cast<uint32_t>(m_block[6]) << 16 | static_cast<uint32_t>(m_block[7]) << 24;
    // The writer lays the items out back to back after the directory, in directory order.
    uint32_t crc = 0;
    m_stream->reset();
    skipFully(*m_stream, static_cast<int64_t>(dataStart));
    std::vector<uint8_t> buffer(64 * 1024);
    for (int64_t left = m_size - static_cast<int64_t>(dataStart); left > 0;) {
        const int32_t step = static_cast<int32_t>(std::min<int64_t>(left, static_cast<int64_t>(buffer.size())));
        const int32_t got = m_stream->read(buffer.data(), 0, step);
        if (got <= 0) {
            reason = "it cannot be read to its end";
            return false;
        }
        crc = crc32(buffer.data(), static_cast<size_t>(got), crc);
        left -= got;
    }
    if (crc != stored) {
        reason = "its items do not match their checksum";
        return false;
    }
    return true;
}

Ref<FileItem> ResourceFileHeader::getItem(const String& name) {
    SyncGuard guard(this);
    auto* entry = static_cast<FileItem*>(m_directory.get(&name));
    if (entry == nullptr) return nullptr;
    if (entry->isLoaded()) return retain(entry);
    const int32_t length = entry->getLength();
    // Value-initialised, so bytes past the end of a truncated file read as zeros.
    auto data = std::make_unique<uint8_t[]>(static_cast<size_t>(length) + 1);
    const int64_t offset = entry->getOffset();
    if (m_stream && length > 0 && offset < m_size) {
        m_stream->reset();
        skipFully(*m_stream, offset);
        const int32_t present = static_cast<int32_t>(std::min<int64_t>(length, m_size - offset));
        int32_t done = 0;
        while (done < present) {
            const int32_t got = m_stream->read(data.get(), done, present - done);
            if (got <= 0) break;
            done += got;
        }
    }
    return make<FileItem>(entry->getOffset(), length, std::move(data));
}

} // namespace mph
