// Color: one 32-bit word 0xAARRGGBB, and the seven constant colours.
#pragma once

#include "runtime/Object.h"

namespace lang {

class Color : public Object {
    LANG_CLASS(Color, Object)

public:
    Color() = default;
    // A 24-bit value with the alpha forced to opaque.
    explicit Color(uint32_t rgb) : m_value(rgb | 0xFF000000u) {}
    Color(int32_t r, int32_t g, int32_t b)
        : m_value(0xFF000000u + static_cast<uint32_t>(r) * 65536u + static_cast<uint32_t>(g) * 256u +
                  static_cast<uint32_t>(b)) {}
    Color(const Color& other) : Object(), m_value(other.m_value) {}
    Color& operator=(const Color& other) {
        m_value = other.m_value;
        return *this;
    }
    // A colour with exactly this ARGB word, alpha included.
    static Color fromArgb(uint32_t argb) {
        Color c;
        c.m_value = argb;
        return c;
    }

    bool equals(const Object* other) const override {
        return other != nullptr && other->instanceOf("Color") && static_cast<const Color*>(other)->m_value == m_value;
    }

    uint32_t getValue() const { return m_value; }
    void setValue(uint32_t argb) { m_value = argb; }
    int32_t getAlpha() const { return static_cast<int32_t>(m_value >> 24); }
    int32_t getRed() const { return static_cast<int32_t>((m_value >> 16) & 0xFF); }
    int32_t getGreen() const { return static_cast<int32_t>((m_value >> 8) & 0xFF); }
    int32_t getBlue() const { return static_cast<int32_t>(m_value & 0xFF); }

    static const Color blue;
    static const Color red;
    static const Color green;
    static const Color black;
    static const Color white;
    static const Color orange;
    static const Color yellow;

private:
    uint32_t m_value = 0xFF000000u;
};

} // namespace lang
