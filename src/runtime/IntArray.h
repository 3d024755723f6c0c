// IntArray: a plain array of signed 32-bit integers.
#pragma once

#include "runtime/Object.h"

namespace lang {

class IntArray : public Object {
    LANG_CLASS(IntArray, Object)

public:
    explicit IntArray(int32_t length = 0);
    IntArray(const IntArray&) = delete;
    IntArray& operator=(const IntArray&) = delete;
    ~IntArray() override { delete[] data; }

    void resize(int32_t n);
    void assign(const IntArray& other);
    int32_t& operator[](int32_t i) { return data[i]; }
    int32_t operator[](int32_t i) const { return data[i]; }

    int32_t* data = nullptr;
    int32_t length = 0;
};

} // namespace lang
