// DLLItem: an item served by a loaded library module; its bytes belong to the module.
#pragma once

#include "io/ResourceItem.h"

namespace mph {

// Linux loads no Windows library modules, so nothing creates these items today; the type keeps the item
// family complete for code that tests instanceOf("DLLItem").
class DLLItem : public ResourceItem {
    LANG_CLASS(DLLItem, ResourceItem)

public:
    DLLItem(void* handle, const uint8_t* data, int32_t length)
        : m_handle(handle), m_data(data), m_length(length < 0 ? 0 : length) {}

    const uint8_t* getData() const override { return m_data; }
    int32_t getLength() const override { return m_length; }
    void* getHandle() const { return m_handle; }

private:
    void* m_handle;
    const uint8_t* m_data;
    int32_t m_length;
};

} // namespace mph
