// The root class: reference count, lazily created recursive monitor with wait/notify, class identity.
#pragma once

#include "runtime/Ascii.h"
#include "runtime/ObjectI.h"

#include <atomic>

namespace lang {

// Declares a class's identity: its name and its place in the instanceOf chain.
#define LANG_CLASS(Name, Base)                                                                               \
public:                                                                                                      \
    const char* getClassName() const override { return #Name; }                                            \
    bool instanceOf(const char* className) const override {                                                \
        return ::lang::sameClassName(className, #Name) || Base::instanceOf(className);                      \
    }

class Object : public virtual ObjectI {
public:
    Object() noexcept;
    // A copy is a new object: it has its own count of 1 and its own (not yet created) monitor.
    Object(const Object&) noexcept;
    Object& operator=(const Object&) noexcept { return *this; }
    virtual ~Object();

    void addRef() override;
    void release() override;
    void lock() override;
    void unlock() override;
    int32_t hashCode() const override;
    bool equals(const Object* other) const override;
    String toString() const override;
    void wait(uint32_t milliseconds) override;
    void wait() override;
    void notify() override;
    void notifyAll() override;
    bool instanceOf(const char* className) const override;

    // Lets go of every level of the monitor the calling thread holds and returns how many that were (0
    // when it holds none); relock takes them back. For a long wait that others must not be held up by.
    int32_t unlockAll();
    void relock(int32_t depth);

    // The name of the most derived class, as the class registry knows it.
    virtual const char* getClassName() const { return "Object"; }

    int32_t refCount() const { return m_refCount.load(std::memory_order_acquire); }
    int32_t lockDepth() const { return m_lockDepth.load(std::memory_order_relaxed); }
    bool hasMonitor() const { return m_monitor.load(std::memory_order_acquire) != nullptr; }
    bool hasWaitEvent() const { return m_waitEvent.load(std::memory_order_acquire) != nullptr; }

private:
    struct Monitor;
    struct WaitEvent;

    Monitor* monitor();

    std::atomic<int32_t> m_refCount{1};
    std::atomic<Monitor*> m_monitor{nullptr};
    std::atomic<WaitEvent*> m_waitEvent{nullptr};
    std::atomic<int32_t> m_lockDepth{0};
};

} // namespace lang
