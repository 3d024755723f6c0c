// Object: counting, the monitor's wait and notify, identity and class chains.
#include "runtime/Exception.h"
#include "runtime/Ref.h"
#include "runtime/String.h"
#include "runtime/SyncGuard.h"
#include "runtime/Thread.h"
#include "runtime/Vector.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

using namespace lang;

namespace {

struct Counted : Object {
    explicit Counted(int* deaths) : deaths(deaths) {}
    ~Counted() override { ++*deaths; }
    int* deaths;
};

} // namespace

TEST(Object, LastReleaseDeletesExactlyOnce) {
    int deaths = 0;
    auto* o = new Counted(&deaths);
    o->addRef();
    o->release();
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(o->refCount(), 1);
    o->release();
    EXPECT_EQ(deaths, 1);
}

TEST(Object, RefAdoptsRetainsAndHandsOut) {
    int deaths = 0;
    {
        Ref<Counted> a = adopt(new Counted(&deaths));
        Ref<Counted> b = a;
        EXPECT_EQ(a->refCount(), 2);
        Ref<Object> up = b; // converting copy takes its own reference
        EXPECT_EQ(a->refCount(), 3);
        b.reset();
        Counted* raw = a.detach();
        EXPECT_EQ(raw->refCount(), 2);
        Ref<Counted> again = retain(raw);
        raw->release();
        EXPECT_EQ(deaths, 0);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(Object, IdentityTextAndClassChain) {
    Object o;
    Object other;
    EXPECT_EQ(o.toString(), "lang.Object");
    EXPECT_TRUE(o.equals(&o));
    EXPECT_FALSE(o.equals(&other));
    EXPECT_EQ(o.hashCode(), 0);
    EXPECT_TRUE(o.instanceOf("OBJECT"));
    EXPECT_TRUE(o.instanceOf("object"));
    EXPECT_FALSE(o.instanceOf("Runnable"));
    Vector v;
    EXPECT_TRUE(v.instanceOf("vector"));
    EXPECT_TRUE(v.instanceOf("Object"));
    EXPECT_FALSE(v.instanceOf("Runnable"));
    Thread t;
    EXPECT_TRUE(t.instanceOf("Runnable"));
    EXPECT_TRUE(t.instanceOf("thread"));
    String s;
    EXPECT_STREQ(s.getClassName(), "String");
}

TEST(Object, NotifyWithoutWaiterIsLostAndCreatesNoEvent) {
    Object o;
    o.notify();
    EXPECT_FALSE(o.hasWaitEvent());
    EXPECT_FALSE(o.hasMonitor());
    // A notify that comes before the wait is lost: the wait times out.
    o.wait(1);
    EXPECT_TRUE(o.hasWaitEvent());
    o.notify();
    const auto start = std::chrono::steady_clock::now();
    o.wait(30);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(25));
}

TEST(Object, WaitReleasesEveryLevelAndRestoresTheDepth) {
    Object o;
    o.lock();
    o.lock();
    o.lock();
    std::atomic<bool> tookMonitor{false};
    std::thread other([&] {
        o.lock();
        tookMonitor = true;
        o.notify();
        o.unlock();
    });
    // The other thread can only take the monitor while we wait, and its notify ends the wait early.
    while (!tookMonitor) o.wait(100);
    EXPECT_EQ(o.lockDepth(), 3);
    other.join();
    o.unlock();
    o.unlock();
    o.unlock();
    EXPECT_EQ(o.lockDepth(), 0);
}

TEST(Object, NotifyWakesEveryWaiter) {
    Object o;
    std::atomic<int> woken{0};
    std::atomic<int> waiting{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i) {
        threads.emplace_back([&] {
            SyncGuard guard(&o);
            ++waiting;
            while (!go) o.wait(1000);
            ++woken;
        });
    }
    while (waiting < 3) std::this_thread::yield();
    {
        SyncGuard guard(&o);
        go = true;
        o.notifyAll();
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(woken, 3);
}

TEST(Object, ALaterWaiterCannotSwallowANotifyMeantForAnEarlierOne) {
    // The notifier waits itself right after notifying, as a frame wait does; the first waiter must still
    // wake at once rather than sleep out its time-out.
    Object o;
    std::atomic<bool> waiting{false};
    std::atomic<bool> woken{false};
    std::thread first([&] {
        SyncGuard guard(&o);
        waiting = true;
        o.wait(5000);
        woken = true;
    });
    while (!waiting) std::this_thread::yield();
    const auto start = std::chrono::steady_clock::now();
    {
        SyncGuard guard(&o); // the first waiter has released the monitor inside its wait
        o.notify();
        o.wait(300);
    }
    first.join();
    EXPECT_TRUE(woken);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
}

TEST(Object, SyncGuardTakesAReferenceOnlyWhenAsked) {
    Object o;
    {
        SyncGuard borrowed(&o);
        EXPECT_EQ(o.refCount(), 1);
        EXPECT_EQ(o.lockDepth(), 1);
        SyncGuard owning(&o, false);
        EXPECT_EQ(o.refCount(), 2);
        EXPECT_EQ(o.lockDepth(), 2);
    }
    EXPECT_EQ(o.refCount(), 1);
    EXPECT_EQ(o.lockDepth(), 0);
}

TEST(Exception, CaughtAsExceptionObjectOrRootInterface) {
    try {
        throwException("boom");
    } catch (Object* o) {
        EXPECT_TRUE(o->instanceOf("Exception"));
        EXPECT_EQ(o->toString(), "boom");
        o->release();
    }
    try {
        throw new Exception(String("root"));
    } catch (ObjectI* o) {
        EXPECT_TRUE(o->instanceOf("exception"));
        o->release();
    }
    try {
        throwException("direct");
    } catch (Exception* e) {
        EXPECT_EQ(e->getMessage(), "direct");
        e->release();
    }
}
