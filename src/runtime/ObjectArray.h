// ObjectArray: a plain array of object pointers that holds no references.
#pragma once

#include "runtime/Object.h"

namespace lang {

class ObjectArray : public Object {
    LANG_CLASS(ObjectArray, Object)

public:
    ObjectArray() = default;
    ObjectArray(const ObjectArray&) = delete;
    ObjectArray& operator=(const ObjectArray&) = delete;
    ~ObjectArray() override { delete[] data; }

    // n zeroed slots that keep the first min(old, n) pointers.
    void resize(int32_t n);
    // The same pointers as other, without references.
    void assign(ObjectArray& other);

    Object** data = nullptr;
    int32_t length = 0;
};

} // namespace lang
