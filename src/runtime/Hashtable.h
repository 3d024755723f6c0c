// Hashtable: a chained map from object to object with 100 buckets to start, used with String keys.
#pragma once

#include "runtime/Object.h"

namespace lang {

class Enumeration;

class Hashtable : public Object {
    LANG_CLASS(Hashtable, Object)

public:
    Hashtable();
    Hashtable(const Hashtable&) = delete;
    Hashtable& operator=(const Hashtable&) = delete;
    ~Hashtable() override;

    // Adds an entry (duplicates allowed, the newest found first) with a reference to key and value.
    void put(Object* key, Object* value);
    // Adds an entry under a new copy of key.
    void put(const String& key, Object* value);
    void put(const char* key, Object* value);
    // The value of the first entry whose key equals key, borrowed; null when there is none.
    Object* get(const Object* key);
    Object* get(const char* key);
    template <class T> T* getAs(const char* key) { return static_cast<T*>(get(key)); }
    bool containsKey(const Object* key);
    // Removes the first matching entry; the returned value is valid only if the caller holds a reference.
    Object* remove(const Object* key);
    Object* remove(const char* key);
    bool removeValue(const Object* value);
    void clear();
    // A new enumeration of the keys in bucket order; the caller releases it.
    Enumeration* keys();

    int32_t size() const { return m_count; }
    int32_t bucketCount() const { return m_bucketCount; }

private:
    struct Node {
        Object* key;
        Object* value;
        Node* next;
    };

    int32_t bucketOf(const Object* key) const;
    void rehash();
    void unlink(Node** link);

    int32_t m_bucketCount = 100;
    Node** m_buckets;
    int32_t m_count = 0;
};

} // namespace lang
