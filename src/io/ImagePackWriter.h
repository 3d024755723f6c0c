// ImagePackWriter: builds an image pack from named image files, in the order they are added.
#pragma once

#include "runtime/String.h"

#include <cstdint>
#include <vector>

namespace mph {

class ImagePackWriter {
public:
    // Adds a record; throws when the name with its terminator does not fit the one-byte name length.
    void add(const lang::String& name, std::vector<uint8_t> data);
    // The pack's bytes with every data byte masked. Throws when the pack is empty or larger than readers
    // accept.
    std::vector<uint8_t> toBytes() const;
    // Writes the pack to path, replacing any earlier file only once the new one is complete.
    void write(const lang::String& path) const;

    size_t size() const { return m_records.size(); }

private:
    struct Record {
        lang::String name;
        std::vector<uint8_t> data;
    };
    std::vector<Record> m_records;
};

} // namespace mph
