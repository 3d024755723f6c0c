// The class registry.
#include "runtime/Class.h"

#include "runtime/Hashtable.h"

#include <mutex>

namespace lang {

namespace {

// The registry exists while at least one class is registered. Static records are built before main
// runs and on one thread, but tests may register classes later, so creation is guarded.
Hashtable* registry = nullptr;

std::mutex& registryLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

} // namespace

Class::Class(const char* name) : m_name(name) {
    std::lock_guard<std::mutex> guard(registryLock());
    if (registry == nullptr) registry = new Hashtable;
    // The registry's reference to a static record is never the last, so the record is never deleted.
    registry->put(m_name, this);
}

Class::~Class() {
    std::lock_guard<std::mutex> guard(registryLock());
    if (registry == nullptr) return;
    // Records are static or scoped objects, so the registry's reference is never the last one and
    // dropping it here does not delete the record a second time.
    if (registry->get(&m_name) == this) {
        registry->remove(&m_name);
    } else {
        registry->removeValue(this); // the name was registered again; keep the other record
    }
    if (registry->size() == 0) {
        registry->release();
        registry = nullptr;
    }
}

Class* Class::forName(const String& name) {
    std::lock_guard<std::mutex> guard(registryLock());
    if (registry == nullptr) return nullptr;
    return static_cast<Class*>(registry->get(&name));
}

Class* Class::forName(const char* name) { return forName(String(name, true)); }

int32_t Class::registeredCount() {
    std::lock_guard<std::mutex> guard(registryLock());
    return registry ? registry->size() : 0;
}

} // namespace lang
