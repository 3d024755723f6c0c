// Vector: a growable list of counted objects that also serves as a double-ended queue.
#pragma once

#include "runtime/Object.h"

namespace lang {

class ObjectArray;

class Vector : public Object {
    LANG_CLASS(Vector, Object)

public:
    explicit Vector(int32_t initialCapacity = 10);
    Vector(const Vector&) = delete;
    Vector& operator=(const Vector&) = delete;
    ~Vector() override;

    // The element at index, borrowed; throws "Index out of range".
    Object* elementAt(int32_t index);
    template <class T> T* elementAtAs(int32_t index) { return static_cast<T*>(elementAt(index)); }
    // Appends obj and takes a reference to it.
    void addElement(Object* obj);
    // Inserts obj before index (0 to size inclusive); throws "Index out of bounds".
    void insertElementAt(Object* obj, int32_t index);
    // Removes and releases the element at index; throws "Index out of range".
    void removeElementAt(int32_t index);
    // The first index whose element equals obj, or -1.
    int32_t indexOf(const Object* obj);
    bool removeElement(const Object* obj);
    void removeAllElements();
    void copyInto(ObjectArray& array);

    int32_t size() const { return m_count; }
    int32_t capacity() const { return m_capacity; }
    int32_t head() const { return m_head; }

private:
    void grow(int32_t needed);

    int32_t m_count = 0;
    int32_t m_capacity = 0;
    int32_t m_head = 0;
    Object** m_items = nullptr;
};

} // namespace lang
