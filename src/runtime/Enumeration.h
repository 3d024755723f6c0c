// Enumeration: a snapshot of objects, each held with a reference, handed out one by one.
#pragma once

#include "runtime/Object.h"

namespace lang {

class Enumeration : public Object {
    LANG_CLASS(Enumeration, Object)

public:
    // Takes over count pointers whose references the caller has already taken.
    Enumeration(Object** items, int32_t count) : m_count(count), m_items(items) {}
    Enumeration(const Enumeration&) = delete;
    Enumeration& operator=(const Enumeration&) = delete;
    ~Enumeration() override;

    virtual bool hasMoreElements() const { return m_index < m_count; }
    // The next object, borrowed; ask hasMoreElements first.
    virtual Object* nextElement() { return m_items[m_index++]; }

private:
    int32_t m_count;
    int32_t m_index = 0;
    Object** m_items;
};

} // namespace lang
