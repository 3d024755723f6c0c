// Hashtable: chained buckets, newest entry first, rehash to four times the count.
#include "runtime/Hashtable.h"

#include "runtime/Enumeration.h"
#include "runtime/String.h"
#include "runtime/SyncGuard.h"

#include <cstdlib>

namespace lang {

Hashtable::Hashtable() : m_buckets(new Node*[100]()) {}

Hashtable::~Hashtable() {
    clear();
    delete[] m_buckets;
}

int32_t Hashtable::bucketOf(const Object* key) const {
    const int32_t h = key->hashCode() % m_bucketCount;
    return h < 0 ? -h : h;
}

void Hashtable::put(Object* key, Object* value) {
    SyncGuard guard(this);
    key->addRef();
    value->addRef();
    const int32_t b = bucketOf(key);
    m_buckets[b] = new Node{key, value, m_buckets[b]};
    ++m_count;
    if (2 * m_count > m_bucketCount) rehash();
}

void Hashtable::put(const String& key, Object* value) {
    String* copy = new String(key);
    put(copy, value);
    copy->release();
}

void Hashtable::put(const char* key, Object* value) {
    String* copy = new String(key);
    put(copy, value);
    copy->release();
}

void Hashtable::rehash() {
    const int32_t fresh = 4 * m_count;
    Node** old = m_buckets;
    const int32_t oldCount = m_bucketCount;
    m_buckets = new Node*[static_cast<size_t>(fresh)]();
    m_bucketCount = fresh;
    for (int32_t i = 0; i < oldCount; ++i) {
        for (Node* n = old[i]; n != nullptr;) {
            Node* next = n->next;
            const int32_t b = bucketOf(n->key);
            n->next = m_buckets[b];
            m_buckets[b] = n;
            n = next;
        }
    }
    delete[] old;
}

Object* Hashtable::get(const Object* key) {
    SyncGuard guard(this);
    for (Node* n = m_buckets[bucketOf(key)]; n != nullptr; n = n->next)
        if (key->equals(n->key)) return n->value;
    return nullptr;
}

Object* Hashtable::get(const char* key) {
    const String k(key, true);
    return get(&k);
}

bool Hashtable::containsKey(const Object* key) { return get(key) != nullptr; }

void Hashtable::unlink(Node** link) {
    Node* n = *link;
    *link = n->next;
    --m_count;
    n->key->release();
    n->value->release();
    delete n;
}

Object* Hashtable::remove(const Object* key) {
    SyncGuard guard(this);
    for (Node** link = &m_buckets[bucketOf(key)]; *link != nullptr; link = &(*link)->next) {
        if (key->equals((*link)->key)) {
            Object* value = (*link)->value;
            unlink(link);
            return value;
        }
    }
    return nullptr;
}

Object* Hashtable::remove(const char* key) {
    const String k(key, true);
    return remove(&k);
}

bool Hashtable::removeValue(const Object* value) {
    SyncGuard guard(this);
    for (int32_t i = 0; i < m_bucketCount; ++i) {
        for (Node** link = &m_buckets[i]; *link != nullptr; link = &(*link)->next) {
            if (value->equals((*link)->value)) {
                unlink(link);
                return true;
            }
        }
    }
    return false;
}

void Hashtable::clear() {
    SyncGuard guard(this);
    for (int32_t i = 0; i < m_bucketCount; ++i)
        while (m_buckets[i] != nullptr) unlink(&m_buckets[i]);
    m_count = 0;
}

Enumeration* Hashtable::keys() {
    SyncGuard guard(this);
    auto** items = new Object*[static_cast<size_t>(m_count)];
    int32_t k = 0;
    for (int32_t i = 0; i < m_bucketCount; ++i) {
        for (Node* n = m_buckets[i]; n != nullptr; n = n->next) {
            n->key->addRef();
            items[k++] = n->key;
        }
    }
    return new Enumeration(items, k);
}

} // namespace lang
