// Class: a named factory in the process-wide class registry, so objects can be made from class names.
#pragma once

#include "runtime/String.h"

#include <type_traits>

namespace lang {

class Hashtable;

class Class : public Object {
    LANG_CLASS(Class, Object)

public:
    // Registers the class under name; the registry holds its own reference.
    explicit Class(const char* name);
    Class(const Class&) = delete;
    Class& operator=(const Class&) = delete;
    ~Class() override;

    // A new object of the class with a count of 1, owned by the caller.
    virtual Object* newInstance() const = 0;
    const String& getName() const { return m_name; }
    String toString() const override { return m_name; }

    // The registered class of exactly this name (case matters), borrowed; null when there is none.
    static Class* forName(const String& name);
    static Class* forName(const char* name);
    // How many classes are registered.
    static int32_t registeredCount();

private:
    String m_name;
};

// A registration record: one static ClassRecord<T> per class that the data script may name.
template <class T> class ClassRecord final : public Class {
    static_assert(std::is_base_of_v<Object, T>, "a registered class derives from lang::Object");
    static_assert(std::is_default_constructible_v<T>, "a registered class has a default constructor");

public:
    explicit ClassRecord(const char* name) : Class(name) {}
    Object* newInstance() const override { return new T(); }
};

} // namespace lang
