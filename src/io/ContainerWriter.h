// ContainerWriter: builds a container data file from named items, in the order they are added.
#pragma once

#include "runtime/String.h"

#include <cstdint>
#include <vector>

namespace mph {

class ContainerWriter {
public:
    // Adds an item; throws when its name is longer than the 255 bytes a directory entry can hold.
    void add(const lang::String& name, std::vector<uint8_t> data);
    // The container's bytes: lead word, an empty block, the directory, then every item's data in order.
    // Throws when the items would not fit the 32-bit offsets of the directory.
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
