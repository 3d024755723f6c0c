// The abstract root interface that every object and every interface of the runtime shares.
#pragma once

#include <cstdint>

namespace lang {

class Object;
class String;

// Every class answers these operations; Object implements them once and interfaces such as Runnable
// inherit this interface virtually, so an object that implements several of them has one identity.
class ObjectI {
public:
    virtual void addRef() = 0;
    virtual void release() = 0;
    virtual void lock() = 0;
    virtual void unlock() = 0;
    virtual int32_t hashCode() const = 0;
    virtual bool equals(const Object* other) const = 0;
    virtual String toString() const = 0;
    virtual void wait(uint32_t milliseconds) = 0;
    virtual void wait() = 0;
    virtual void notify() = 0;
    virtual void notifyAll() = 0;
    virtual bool instanceOf(const char* className) const = 0;

protected:
    ObjectI() = default;
    ObjectI(const ObjectI&) = default;
    ObjectI& operator=(const ObjectI&) = default;
    ~ObjectI() = default;
};

// The waiting time that means "without limit".
inline constexpr uint32_t kInfinite = 0xFFFFFFFFu;

} // namespace lang
