// Enumeration: releases what it holds.
#include "runtime/Enumeration.h"

namespace lang {

Enumeration::~Enumeration() {
    for (int32_t i = 0; i < m_count; ++i) m_items[i]->release();
    delete[] m_items;
}

} // namespace lang
