// Vector: growth by half, O(1) removal at the front, inserts and removals that move the shorter side.
#include "runtime/Vector.h"

#include "runtime/Exception.h"
#include "runtime/ObjectArray.h"
#include "runtime/SyncGuard.h"

#include <cstring>

namespace lang {

Vector::Vector(int32_t initialCapacity) {
    m_capacity = initialCapacity > 0 ? initialCapacity : 0;
    m_items = new Object*[static_cast<size_t>(m_capacity)]();
}

Vector::~Vector() {
    for (int32_t i = 0; i < m_count; ++i) m_items[m_head + i]->release();
    delete[] m_items;
}

void Vector::grow(int32_t needed) {
    int32_t fresh = m_capacity * 3 / 2;
    if (fresh - m_capacity < needed) fresh = m_capacity + needed;
    auto** items = new Object*[static_cast<size_t>(fresh)]();
    if (m_count > 0) std::memcpy(items, m_items + m_head, sizeof(Object*) * static_cast<size_t>(m_count));
    delete[] m_items;
    m_items = items;
    m_capacity = fresh;
    m_head = 0;
}

Object* Vector::elementAt(int32_t index) {
    SyncGuard guard(this);
    if (index < 0 || index >= m_count) throwException("Index out of range");
    return m_items[m_head + index];
}

void Vector::addElement(Object* obj) {
    SyncGuard guard(this);
    if (m_capacity < m_count + 1) {
        grow(1);
    } else if (m_head + m_count + 1 > m_capacity) {
        // The free room is all before the head: slide the elements to the start.
        std::memmove(m_items, m_items + m_head, sizeof(Object*) * static_cast<size_t>(m_count));
        for (int32_t i = m_count; i < m_head + m_count; ++i) m_items[i] = nullptr;
        m_head = 0;
    }
    m_items[m_head + m_count] = obj;
    obj->addRef();
    ++m_count;
}

void Vector::insertElementAt(Object* obj, int32_t index) {
    SyncGuard guard(this);
    if (index < 0 || index > m_count) throwException("Index out of bounds");
    obj->addRef();
    if (m_count == m_capacity) grow(1);
    if ((m_count - index > index && m_head > 0) || m_head + m_count >= m_capacity) {
        // Open the gap at the front: the elements before index move one slot towards the front.
        --m_head;
        for (int32_t i = 0; i < index; ++i) m_items[m_head + i] = m_items[m_head + i + 1];
    } else {
        for (int32_t i = m_count; i > index; --i) m_items[m_head + i] = m_items[m_head + i - 1];
    }
    m_items[m_head + index] = obj;
    ++m_count;
}

void Vector::removeElementAt(int32_t index) {
    SyncGuard guard(this);
    if (index < 0 || index >= m_count) throwException("Index out of range");
    Object* gone = m_items[m_head + index];
    const int32_t n = --m_count;
    if (index == 0) {
        m_items[m_head] = nullptr;
        ++m_head;
    } else if (n - index > index) {
        for (int32_t i = index; i > 0; --i) m_items[m_head + i] = m_items[m_head + i - 1];
        m_items[m_head] = nullptr;
        ++m_head;
    } else {
        for (int32_t i = index; i < n; ++i) m_items[m_head + i] = m_items[m_head + i + 1];
        m_items[m_head + n] = nullptr;
    }
    gone->release();
}

int32_t Vector::indexOf(const Object* obj) {
    SyncGuard guard(this);
    for (int32_t i = 0; i < m_count; ++i) {
        Object* e = m_items[m_head + i];
        if (e != nullptr && e->equals(obj)) return i;
    }
    return -1;
}

bool Vector::removeElement(const Object* obj) {
    SyncGuard guard(this);
    const int32_t i = indexOf(obj);
    if (i < 0) return false;
    removeElementAt(i);
    return true;
}

void Vector::removeAllElements() {
    SyncGuard guard(this);
    for (int32_t i = 0; i < m_count; ++i) {
        Object* e = m_items[m_head + i];
        m_items[m_head + i] = nullptr;
        e->release();
    }
    m_count = 0;
    m_head = 0;
}

void Vector::copyInto(ObjectArray& array) {
    SyncGuard guard(this);
    array.resize(m_count);
    for (int32_t i = 0; i < m_count; ++i) {
        Object* e = m_items[m_head + i];
        e->addRef(); // the array keeps these references for as long as the program runs
        array.data[i] = e;
    }
}

} // namespace lang
