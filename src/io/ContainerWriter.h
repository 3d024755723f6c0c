// ContainerWriter: builds a container data file from named items, in the order they are added.
#pragma once

#include "runtime/String.h"

#include <cstdint>
#include <vector>

namespace mph {

class ContainerWriter {
public:
    // The seal block: these four bytes, then the CRC-32 of the item data, little-endian.
    static constexpr char kSealTag[4] = {'M', 'P', 'H', 'S'};
    static constexpr uint32_t kSealSize = 8;

    // Adds an item; throws when its name is longer than the 255 bytes a directory entry can hold.
    void add(const lang::String& name, std::vector<uint8_t> data);
    // The container's bytes: lead word, the seal block, the directory, then every item's data in order.
    // The block holds kSealTag and the CRC-32 of everything after the directory, so a damaged copy can be
    // told (readers that do not check it skip it as before). Throws when the items would not fit the
    // 32-bit offsets of the directory.
    std::vector<uint8_t> toBytes() const;
    // Writes the container to path, replacing any earlier file only once the new one is complete.
    void write(const lang::String& path) const;

    size_t size() const { return m_items.size(); }

private:
    struct Item {
        lang::String name;
        std::vector<uint8_t> data;
    };
    std::vector<Item> m_items;
};

} // namespace mph
