// Small value objects, plain arrays and the pseudo-random generator.
#include "runtime/BooleanArray.h"
#include "runtime/CRandom.h"
#include "runtime/Color.h"
#include "runtime/IntArray.h"
#include "runtime/Integer.h"
#include "runtime/Rectangle.h"
#include "runtime/String.h"

#include <gtest/gtest.h>

#include <thread>

using namespace lang;

TEST(Rectangle, UnionIntersectionContainsAndHash) {
    Rectangle r(0, 0, 50, 50);
    r.unionWith(Rectangle(100, 0, 50, 50));
    EXPECT_TRUE(r.sameAs(0, 0, 150, 50));
    r.intersectWith(Rectangle(140, 10, 100, 100));
    EXPECT_TRUE(r.sameAs(140, 10, 10, 40));
    r.intersectWith(Rectangle(500, 500, 5, 5));
    EXPECT_TRUE(r.sameAs(0, 0, 0, 0));
    const Rectangle c(10, 10, 5, 5);
    EXPECT_TRUE(c.contains(10, 14));
    EXPECT_FALSE(c.contains(15, 10));
    EXPECT_EQ(Rectangle(1, 2, 3, 4).hashCode(), (1 << 24) + (2 << 16) + (3 << 8) + 4);
    const Rectangle same(1, 2, 3, 4);
    EXPECT_TRUE(Rectangle(1, 2, 3, 4).equals(&same));
    Integer i(1);
    EXPECT_FALSE(Rectangle(1, 2, 3, 4).equals(&i));
    EXPECT_FALSE(Rectangle(0, 0, 10, 10).intersects(Rectangle(10, 0, 5, 5)));
    EXPECT_TRUE(Rectangle(0, 0, 10, 10).intersects(Rectangle(9, 9, 5, 5)));
}

TEST(Color, ConstantsAndConstruction) {
    EXPECT_EQ(Color::red.getValue(), 0xFFCC0000u);
    EXPECT_EQ(Color::orange.getValue(), 0xFFFF6600u);
    EXPECT_EQ(Color(0x123456u).getValue(), 0xFF123456u);
    EXPECT_EQ(Color(1, 2, 3).getValue(), 0xFF010203u);
    EXPECT_TRUE(Color(0, 0, 255).equals(&Color::blue));
    EXPECT_FALSE(Color::black.equals(&Color::white));
}

TEST(Arrays, ResizeKeepsThePrefixAndZeroesTheRest) {
    IntArray a(3);
    a[0] = 7;
    a[1] = 8;
    a[2] = 9;
    a.resize(5);
    EXPECT_EQ(a.length, 5);
    EXPECT_EQ(a[2], 9);
    EXPECT_EQ(a[3], 0);
    EXPECT_EQ(a[4], 0);
    a.resize(2);
    EXPECT_EQ(a.length, 2);
    EXPECT_EQ(a[1], 8);
    IntArray b;
    b.assign(a);
    EXPECT_EQ(b.length, 2);
    EXPECT_EQ(b[0], 7);
    BooleanArray bytes;
    bytes.resize(3);
    bytes.data[2] = 0xFF;
    bytes.resize(4);
    EXPECT_EQ(bytes.data[2], 0xFF);
    EXPECT_EQ(bytes.data[3], 0);
}

TEST(CRandom, ClassicSequenceInRangeAndPerThread) {
    CRandom::seed(1);
    EXPECT_EQ(CRandom::next(), 41);
    EXPECT_EQ(CRandom::next(), 18467);
    EXPECT_EQ(CRandom::next(), 6334);
    CRandom::seed(1);
    int32_t onOtherThread = -1;
    std::thread([&] {
        CRandom::seed(1);
        CRandom::next();
        onOtherThread = CRandom::next();
    }).join();
    EXPECT_EQ(onOtherThread, 18467);
    EXPECT_EQ(CRandom::next(), 41); // this thread's generator was not disturbed
    for (int i = 0; i < 1000; ++i) {
        const double r = lang::random();
        EXPECT_GE(r, 0.0);
        EXPECT_LT(r, 1.0);
    }
}
