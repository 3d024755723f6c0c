// Integer: a counted signed 32-bit value, used as a value in the containers.
#pragma once

#include "runtime/Object.h"

namespace lang {

class Integer : public Object {
    LANG_CLASS(Integer, Object)

public:
    explicit Integer(int32_t value = 0) : m_value(value) {}

    int32_t hashCode() const override { return m_value; }
    bool equals(const Object* other) const override {
        return other != nullptr && other->instanceOf("Integer") &&
               static_cast<const Integer*>(other)->m_value == m_value;
    }
    String toString() const override;
    int32_t intValue() const { return m_value; }

private:
    int32_t m_value;
};

} // namespace lang
