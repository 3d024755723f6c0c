// ResourceItem: the bytes of one item of a registered container, kept alive by whoever holds the item.
#pragma once

#include "runtime/Object.h"

#include <cstdint>

namespace mph {

class ResourceItem : public lang::Object {
    LANG_CLASS(ResourceItem, Object)

public:
    // The first byte of the item; may be null when the item is empty.
    virtual const uint8_t* getData() const = 0;
    virtual int32_t getLength() const = 0;
};

} // namespace mph
