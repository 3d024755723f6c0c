// ByteArrayInputStream: an input stream over a memory block, either a caller's or a container item's.
#pragma once

#include "io/InputStream.h"
#include "io/ResourceItem.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

namespace mph {

class ByteArrayInputStream : public InputStream {
    LANG_CLASS(ByteArrayInputStream, InputStream)

public:
    // Reads size bytes at data, which the caller keeps alive for the life of the stream.
    ByteArrayInputStream(const uint8_t* data, int32_t size);
    // Reads the container item name (one leading "+" is ignored); empty when there is no such item.
    explicit ByteArrayInputStream(const lang::String& name);
    // Reads an item the caller already holds; the stream keeps its own reference.
    explicit ByteArrayInputStream(lang::Ref<ResourceItem> item);

    int32_t read(uint8_t* buffer, int32_t offset, int32_t count) override;
    int32_t read() override;
    void close() override {}
    void reset() override { m_position = 0; }
    int32_t skip(int32_t n) override;

    int32_t size() const { return m_size; }
    int32_t position() const { return m_position; }

private:
    const uint8_t* m_data = nullptr;
    int32_t m_size = 0;
    int32_t m_position = 0;
    lang::Ref<ResourceItem> m_item;
};

} // namespace mph
