// The submission rate limit: a sliding window per address, refused attempts counting too.
#include "service/RateLimiter.h"

#include <gtest/gtest.h>

using namespace mph::service;
using namespace std::chrono_literals;

TEST(RateLimiter, AllowsLimitPerWindowPerAddressAndCountsRefusals) {
    RateLimiter limiter(3, 60s);
    const RateLimiter::Clock::time_point t0{1000s};
    EXPECT_TRUE(limiter.allow("a", t0));
    EXPECT_TRUE(limiter.allow("a", t0 + 10s));
    EXPECT_TRUE(limiter.allow("a", t0 + 20s));
    EXPECT_FALSE(limiter.allow("a", t0 + 30s));
    EXPECT_TRUE(limiter.allow("b", t0 + 30s)) << "another address has its own count";
    // The oldest attempt still counted is the one at t0 + 10.
    EXPECT_EQ(limiter.retryAfterSeconds("a", t0 + 30s), 40);
    // The window before t0 + 65 holds t0 + 10, 20 and the refused t0 + 30.
    EXPECT_FALSE(limiter.allow("a", t0 + 65s));
    // Before t0 + 85 only t0 + 30 and 65 remain.
    EXPECT_TRUE(limiter.allow("a", t0 + 85s));
}

TEST(RateLimiter, ZeroMeansNoLimitAndQuietAddressesAreForgotten) {
    RateLimiter none(0, 60s);
    for (int i = 0; i < 100; ++i)
        EXPECT_TRUE(none.allow("a"));

    RateLimiter limiter(2, 60s);
    const RateLimiter::Clock::time_point t0{1000s};
    for (int i = 0; i < 50; ++i)
        limiter.allow("addr" + std::to_string(i), t0);
    EXPECT_EQ(limiter.trackedKeys(), 50u);
    limiter.allow("late", t0 + 61s);
    EXPECT_EQ(limiter.trackedKeys(), 1u);
}
