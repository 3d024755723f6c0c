// Hashtable: buckets, duplicate keys, rehashing and key enumeration.
#include "runtime/Enumeration.h"
#include "runtime/Hashtable.h"
#include "runtime/Integer.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

#include <gtest/gtest.h>

using namespace lang;

TEST(Hashtable, DuplicateKeyShowsTheNewestUntilRemoved) {
    Integer first(1);
    Integer second(2);
    Hashtable t;
    String key("name");
    t.put(key, &first);
    t.put(key, &second);
    EXPECT_EQ(t.size(), 2);
    EXPECT_EQ(t.get("name"), &second);
    EXPECT_EQ(t.remove("name"), &second);
    EXPECT_EQ(t.get("name"), &first);
    EXPECT_EQ(second.refCount(), 1);
    EXPECT_TRUE(t.containsKey(&key));
    EXPECT_EQ(t.get("Name"), nullptr); // keys are case-sensitive
    EXPECT_TRUE(t.removeValue(&first));
    EXPECT_FALSE(t.removeValue(&first));
    EXPECT_EQ(t.size(), 0);
}

TEST(Hashtable, The51stEntryRehashesTo204BucketsAndEverythingIsFound) {
    Hashtable t;
    std::vector<Ref<Integer>> values;
    for (int i = 0; i < 51; ++i) {
        values.push_back(make<Integer>(i));
        t.put(String("key") + i, values.back().get());
        EXPECT_EQ(t.bucketCount(), i < 50 ? 100 : 204);
    }
    for (int i = 0; i < 51; ++i) EXPECT_EQ(t.get((String("key") + i).c_str()), values[i].get()) << i;
    for (int i = 51; i < 103; ++i) {
        values.push_back(make<Integer>(i));
        t.put(String("key") + i, values.back().get());
    }
    EXPECT_EQ(t.bucketCount(), 412);
    for (int i = 0; i < 103; ++i) EXPECT_EQ(t.get((String("key") + i).c_str()), values[i].get()) << i;
}

TEST(Hashtable, KeysComeInBucketOrderWithTheirOwnReferences) {
    Integer v(0);
    Integer k3(3), k1(1), k2(2), k1b(101);
    Hashtable t;
    EXPECT_FALSE(adopt(t.keys())->hasMoreElements());
    // Integer keys hash to themselves: bucket order is 1, 2, 3 whatever the insertion order.
    t.put(&k3, &v);
    t.put(&k1, &v);
    t.put(&k2, &v);
    t.put(&k1b, &v); // same bucket as 1, newer: first in its chain
    Ref<Enumeration> keys = adopt(t.keys());
    std::vector<int> order;
    while (keys->hasMoreElements()) order.push_back(static_cast<Integer*>(keys->nextElement())->intValue());
    EXPECT_EQ(order, (std::vector<int>{101, 1, 2, 3}));
    EXPECT_EQ(k1.refCount(), 3); // the table's and the enumeration's
    t.clear();
    EXPECT_EQ(k1.refCount(), 2);
    keys.reset();
    EXPECT_EQ(k1.refCount(), 1);
    EXPECT_EQ(v.refCount(), 1);
}

TEST(Hashtable, NegativeHashesFindABucket) {
    Integer v(0);
    Integer negative(-12345);
    Hashtable t;
    t.put(&negative, &v);
    Integer same(-12345);
    EXPECT_EQ(t.get(&same), &v);
    String high("\xFF\xFE"); // bytes above 127 make the hash negative
    t.put(high, &v);
    EXPECT_EQ(t.get("\xFF\xFE"), &v);
}
