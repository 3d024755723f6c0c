// Thread: running a target, starting twice, joining with and without a limit.
#include "runtime/Object.h"
#include "runtime/Ref.h"
#include "runtime/Runnable.h"
#include "runtime/Thread.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace lang;

namespace {

struct Target : Object, Runnable {
    bool instanceOf(const char* name) const override {
        return sameClassName(name, "Target") || Object::instanceOf(name) || sameClassName(name, "Runnable");
    }
    void run() override {
        ++runs;
        while (hold) Thread::sleep(1);
    }
    std::atomic<int> runs{0};
    std::atomic<bool> hold{false};
};

struct Worker : Thread {
    void run() override { ran = true; }
    std::atomic<bool> ran{false};
};

} // namespace

TEST(Thread, RunsItsTargetAndHoldsAReferenceToIt) {
    Ref<Target> target = make<Target>();
    {
        Ref<Thread> t = make<Thread>(target.get());
        EXPECT_EQ(target->refCount(), 2);
        t->start();
        EXPECT_TRUE(t->join(0));
        EXPECT_EQ(target->runs, 1);
        EXPECT_FALSE(t->isStarted()); // the base run clears it, so the thread may run again
        t->start();
        EXPECT_TRUE(t->join(0));
        EXPECT_EQ(target->runs, 2);
    }
    EXPECT_EQ(target->refCount(), 1);
}

TEST(Thread, StartingTwiceWhileRunningCreatesOneThread) {
    Ref<Target> target = make<Target>();
    target->hold = true;
    Ref<Thread> t = make<Thread>(target.get());
    t->start();
    t->start();
    EXPECT_FALSE(t->join(20)); // still held: the limited join gives up
    target->hold = false;
    EXPECT_TRUE(t->join(0));
    EXPECT_EQ(target->runs, 1);
}

TEST(Thread, KeepsItsObjectAliveWhileRunning) {
    Ref<Target> target = make<Target>();
    target->hold = true;
    Thread* t = new Thread(target.get());
    t->start();
    t->release(); // the running thread still holds the object
    target->hold = false;
    for (int i = 0; i < 2000 && target->refCount() > 1; ++i) Thread::sleep(1);
    EXPECT_EQ(target->refCount(), 1); // the thread ended and released its object, which released the target
}

TEST(Thread, SubclassOverridesRun) {
    Ref<Worker> w = make<Worker>();
    w->start();
    w->join();
    EXPECT_TRUE(w->ran);
    EXPECT_TRUE(w->instanceOf("Runnable"));
    EXPECT_TRUE(w->join(5)); // joining an ended thread returns at once
}
