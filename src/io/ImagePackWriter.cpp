// ImagePackWriter: laying out and masking the records of an image pack.
#include "io/ImagePackWriter.h"

#include "io/FileWriter.h"
#include "io/ImagePackReader.h"
#include "runtime/Exception.h"

using namespace lang;

namespace mph {

namespace {

void putInt(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

} // namespace

void ImagePackWriter::add(const String& name, std::vector<uint8_t> data) {
    if (name.length() > 254) throwException(String("Image name longer than 254 bytes: ") + name);
    m_records.push_back(Record{name, std::move(data)});
}

std::vector<uint8_t> ImagePackWriter::toBytes() const {
    if (m_records.empty()) throwException("An image pack needs at least one image");
    uint64_t total = 8;
    for (const Record& r : m_records) total += 4 + 1 + static_cast<uint64_t>(r.name.length()) + 1 + r.data.size();
    if (total > static_cast<uint64_t>(ImagePackReader::kMaxTotalSize))
        throwException("Image pack larger than 10000000 bytes");
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(total));
    putInt(out, static_cast<uint32_t>(m_records.size()));
    putInt(out, static_cast<uint32_t>(total));
    for (const Record& r : m_records) {
        putInt(out, static_cast<uint32_t>(r.data.size()));
        out.push_back(static_cast<uint8_t>(r.name.length() + 1));
        out.insert(out.end(), r.name.c_str(), r.name.c_str() + r.name.length());
        out.push_back(0);
        for (uint8_t b : r.data) out.push_back(b ^ ImagePackReader::kMask);
    }
    return out;
}

void ImagePackWriter::write(const String& path) const { writeFileAtomically(path, toBytes()); }

} // namespace mph
