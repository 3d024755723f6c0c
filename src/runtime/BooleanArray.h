// BooleanArray: a plain array of bytes; also the buffer of binary settings values.
#pragma once

#include "runtime/Object.h"

#include <cstdint>

namespace lang {

class BooleanArray : public Object {
    LANG_CLASS(BooleanArray, Object)

public:
    BooleanArray() = default;
    BooleanArray(const BooleanArray&) = delete;
    BooleanArray& operator=(const BooleanArray&) = delete;
    ~BooleanArray() override { delete[] data; }

    void resize(int32_t n);
    void assign(const BooleanArray& other);

    uint8_t* data = nullptr;
    int32_t length = 0;
};

} // namespace lang
