// SyncGuard: holds an object's monitor for the extent of a block.
#pragma once

#include "runtime/ObjectI.h"

namespace lang {

class SyncGuard {
public:
    // callerHoldsRef: the caller keeps the object alive, so the guard takes no reference of its own.
    explicit SyncGuard(ObjectI* object, bool callerHoldsRef = true) : m_object(object), m_ref(!callerHoldsRef) {
        if (m_ref) m_object->addRef();
        m_object->lock();
    }
    ~SyncGuard() { unlock(); }
    // Releases the monitor before the end of the block; the destructor then does nothing.
    void unlock() {
        if (m_object == nullptr) return;
        m_object->unlock();
        if (m_ref) m_object->release();
        m_object = nullptr;
    }
    SyncGuard(const SyncGuard&) = delete;
    SyncGuard& operator=(const SyncGuard&) = delete;

private:
    ObjectI* m_object;
    bool m_ref;
};

} // namespace lang
