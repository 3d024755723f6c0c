// StringArray: an ObjectArray that holds String objects.
#pragma once

#include "runtime/ObjectArray.h"
#include "runtime/String.h"

namespace lang {

class StringArray : public ObjectArray {
    LANG_CLASS(StringArray, ObjectArray)

public:
    String* at(int32_t index) const { return static_cast<String*>(data[index]); }
};

} // namespace lang
