// ContainerWriter: laying out the directory and data of a container file.
#include "io/ContainerWriter.h"

#include "io/Crc32.h"
#include "io/FileWriter.h"
#include "runtime/Exception.h"

using namespace lang;

namespace mph {

namespace {

void putWord(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

} // namespace

void ContainerWriter::add(const String& name, std::vector<uint8_t> data) {
    if (name.length() > 255) throwException(String("Item name longer than 255 bytes: ") + name);
    m_items.push_back(Item{name, std::move(data)});
}

std::vector<uint8_t> ContainerWriter::toBytes() const {
    uint64_t directorySize = 12 + kSealSize;
    uint64_t dataSize = 0;
    for (const Item& item : m_items) {
        directorySize += 1 + static_cast<uint64_t>(item.name.length()) + 8;
        dataSize += item.data.size();
    }
    if (directorySize + dataSize > UINT32_MAX) throwException("Container larger than 4 GB");
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(directorySize + dataSize));
    putWord(out, 0); // lead word, ignored by the reader
    putWord(out, kSealSize);
    uint32_t crc = 0;
    for (const Item& item : m_items) crc = crc32(item.data.data(), item.data.size(), crc);
    out.insert(out.end(), kSealTag, kSealTag + 4);
    putWord(out, crc);
    putWord(out, static_cast<uint32_t>(m_items.size()));
    auto offset = static_cast<uint32_t>(directorySize);
    for (const Item& item : m_items) {
        out.push_back(static_cast<uint8_t>(item.name.length()));
        out.insert(out.end(), item.name.c_str(), item.name.c_str() + item.name.length());
        putWord(out, offset);
        putWord(out, static_cast<uint32_t>(item.data.size()));
        offset += static_cast<uint32_t>(item.data.size());
    }
    for (const Item& item : m_items) out.insert(out.end(), item.data.begin(), item.data.end());
    return out;
}

void ContainerWriter::write(const String& path) const { writeFileAtomically(path, toBytes()); }

} // namespace mph
