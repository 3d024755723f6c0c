// Vector: growth, the queue use, inserts and removals on the shorter side, index errors.
#include "runtime/Exception.h"
#include "runtime/Integer.h"
#include "runtime/ObjectArray.h"
#include "runtime/Ref.h"
#include "runtime/Vector.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

using namespace lang;

namespace {

std::string contents(Vector& v) {
    std::string s;
    for (int32_t i = 0; i < v.size(); ++i) s += std::to_string(v.elementAtAs<Integer>(i)->intValue()) + ",";
    return s;
}

std::string messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (Exception* e) {
        std::string m = e->getMessage().str();
        e->release();
        return m;
    }
    return "";
}

} // namespace

TEST(Vector, GrowsByHalfOrByTheNeededSlots) {
    Integer one(1); // declared first: it must outlive the vectors that hold it
    Vector zero(0);
    zero.addElement(&one);
    EXPECT_EQ(zero.capacity(), 1);
    zero.addElement(&one);
    EXPECT_EQ(zero.capacity(), 2);
    zero.addElement(&one);
    EXPECT_EQ(zero.capacity(), 3);
    Vector ten(10);
    for (int i = 0; i < 11; ++i) ten.addElement(&one);
    EXPECT_EQ(ten.capacity(), 15);
    EXPECT_EQ(one.refCount(), 15);
}

TEST(Vector, QueueUseNeverGrowsAndSlidesToTheStart) {
    Vector q(4);
    std::vector<Ref<Integer>> values;
    for (int i = 0; i < 8; ++i) values.push_back(make<Integer>(i));
    for (int i = 0; i < 4; ++i) q.addElement(values[i].get());
    q.removeElementAt(0);
    q.removeElementAt(0);
    EXPECT_EQ(q.head(), 2); // removal at the front moves nothing
    q.addElement(values[4].get());
    EXPECT_EQ(q.capacity(), 4);
    EXPECT_EQ(q.head(), 0); // the back was reached: the elements slid to the start
    EXPECT_EQ(contents(q), "2,3,4,");
    for (int i = 0; i < 20; ++i) {
        q.removeElementAt(0);
        q.addElement(values[i % 8].get());
    }
    EXPECT_EQ(q.capacity(), 4);
    EXPECT_EQ(q.size(), 3);
    EXPECT_EQ(contents(q), "1,2,3,");
    EXPECT_EQ(values[0]->refCount(), 1); // everything that left the queue was released
}

TEST(Vector, InsertAndRemoveKeepOrderFromEitherSide) {
    Vector v(10);
    std::vector<Ref<Integer>> n;
    for (int i = 0; i < 10; ++i) n.push_back(make<Integer>(i));
    for (int i = 0; i < 6; ++i) v.addElement(n[i].get());
    v.removeElementAt(0); // head 1
    v.insertElementAt(n[9].get(), 1); // front side is shorter and there is room: opens at the front
    EXPECT_EQ(v.head(), 0);
    EXPECT_EQ(contents(v), "1,9,2,3,4,5,");
    v.insertElementAt(n[8].get(), 5); // back side
    EXPECT_EQ(contents(v), "1,9,2,3,4,8,5,");
    v.insertElementAt(n[7].get(), v.size()); // at count: appends
    EXPECT_EQ(contents(v), "1,9,2,3,4,8,5,7,");
    v.removeElementAt(2); // fewer before than after: the front moves back
    EXPECT_EQ(v.head(), 1);
    EXPECT_EQ(contents(v), "1,9,3,4,8,5,7,");
    v.removeElementAt(5); // the back moves forward
    EXPECT_EQ(contents(v), "1,9,3,4,8,7,");
    EXPECT_EQ(v.indexOf(n[8].get()), 4);
    Integer equalValue(8);
    EXPECT_TRUE(v.removeElement(&equalValue)); // found through equals
    EXPECT_EQ(v.indexOf(&equalValue), -1);
    EXPECT_FALSE(v.removeElement(&equalValue));
    ObjectArray copy;
    v.copyInto(copy);
    EXPECT_EQ(copy.length, 5);
    EXPECT_EQ(copy.data[1], n[9].get());
    for (int i = 0; i < copy.length; ++i) copy.data[i]->release();
    v.removeAllElements();
    EXPECT_EQ(v.size(), 0);
    EXPECT_EQ(n[9]->refCount(), 1);
}

TEST(Vector, IndexErrorsCarryTheirMessagesAndLeaveTheVectorUnlocked) {
    Integer one(1);
    Vector v(2);
    v.addElement(&one);
    EXPECT_EQ(messageOf([&] { v.elementAt(-1); }), "Index out of range");
    EXPECT_EQ(messageOf([&] { v.elementAt(1); }), "Index out of range");
    EXPECT_EQ(messageOf([&] { v.removeElementAt(1); }), "Index out of range");
    EXPECT_EQ(messageOf([&] { v.insertElementAt(&one, 2); }), "Index out of bounds");
    EXPECT_EQ(v.size(), 1);
    EXPECT_EQ(one.refCount(), 2); // the failed insert took no reference
    EXPECT_EQ(v.lockDepth(), 0);
    bool locked = false;
    std::thread other([&] {
        v.lock();
        locked = true;
        v.unlock();
    });
    other.join();
    EXPECT_TRUE(locked);
}
