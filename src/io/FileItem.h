// FileItem: an item of a container data file: its place in the file and, once loaded, its own copy of the bytes.
#pragma once

#include "io/ResourceItem.h"

#include <memory>

namespace mph {

class FileItem : public ResourceItem {
    LANG_CLASS(FileItem, ResourceItem)

public:
    // A directory entry: where the item lies, with no bytes loaded.
    FileItem(uint32_t offset, int32_t length) : m_length(length < 0 ? 0 : length), m_offset(offset) {}
    // A loaded item that owns data, a block of length bytes.
    FileItem(uint32_t offset, int32_t length, std::unique_ptr<uint8_t[]> data)
        : m_data(std::move(data)), m_length(length < 0 ? 0 : length), m_offset(offset) {}

    const uint8_t* getData() const override { return m_data.get(); }
    int32_t getLength() const override { return m_length; }
    uint32_t getOffset() const { return m_offset; }
    bool isLoaded() const { return m_data != nullptr; }

private:
    std::unique_ptr<uint8_t[]> m_data;
    int32_t m_length;
    uint32_t m_offset;
};

} // namespace mph
