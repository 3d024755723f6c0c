// The rate limit: a sliding window per client key, refused attempts counting too, in fixed memory with a
// cap on the keys; and the keys themselves (IPv4 as it is, IPv6 per /64).
#include "service/RateLimiter.h"
#include "service/ClientAddress.h"

#include <gtest/gtest.h>

using namespace mph::service;
using namespace std::chrono_literals;

namespace {

ClientKey key(const std::string& text) {
    ClientAddress a;
    EXPECT_TRUE(ClientAddress::fromText(text, a)) << text;
    return a.key;
}

} // namespace

TEST(RateLimiter, AllowsLimitPerWindowPerAddressAndCountsRefusals) {
    RateLimiter limiter(3, 60s);
    const RateLimiter::Clock::time_point t0{1000s};
    EXPECT_TRUE(limiter.allow(key("10.0.0.1"), t0));
    EXPECT_TRUE(limiter.allow(key("10.0.0.1"), t0 + 10s));
    EXPECT_TRUE(limiter.allow(key("10.0.0.1"), t0 + 20s));
    EXPECT_FALSE(limiter.allow(key("10.0.0.1"), t0 + 30s));
    EXPECT_TRUE(limiter.allow(key("10.0.0.2"), t0 + 30s)) << "another address has its own count";
    // The full window ends at t0 + 60; the next is free once enough of this one has slid out.
    EXPECT_EQ(limiter.retryAfterSeconds(key("10.0.0.1"), t0 + 30s), 30);
    // At t0 + 65 the last window still counts 55/60 of its three: 2.75, below the limit; one more is not.
    EXPECT_TRUE(limiter.allow(key("10.0.0.1"), t0 + 65s));
    EXPECT_FALSE(limiter.allow(key("10.0.0.1"), t0 + 66s));
    EXPECT_TRUE(limiter.allow(key("10.0.0.1"), t0 + 300s)) << "a quiet window forgets everything";

    // The replay budget: units charged after the work, room checked before it.
    RateLimiter budget(1000, 60s);
    EXPECT_TRUE(budget.hasRoom(key("10.0.0.1"), t0));
    budget.charge(key("10.0.0.1"), 1500, t0);
    EXPECT_FALSE(budget.hasRoom(key("10.0.0.1"), t0 + 1s));
    EXPECT_TRUE(budget.hasRoom(key("10.0.0.2"), t0 + 1s));
    EXPECT_TRUE(budget.hasRoom(key("10.0.0.1"), t0 + 121s));

    RateLimiter none(0, 60s);
    for (int i = 0; i < 100; ++i)
        EXPECT_TRUE(none.allow(key("10.0.0.1")));
}

// The attack: every attempt from a new address (even one answered 400) used to keep a growing record.
TEST(RateLimiter, SixtyThousandAddressesStayWithinTheCapOldestForgottenFirst) {
    RateLimiter limiter(1, 60s, 50000);
    const RateLimiter::Clock::time_point t0{1000s};
    auto address = [](uint32_t i) {
        return "10." + std::to_string(i >> 16) + "." + std::to_string((i >> 8) & 255) + "." +
               std::to_string(i & 255);
    };
    EXPECT_TRUE(limiter.allow(key("192.0.2.1"), t0));
    for (uint32_t i = 0; i < 60000; ++i) {
        EXPECT_TRUE(limiter.allow(key(address(i)), t0 + 1s));
        if (i == 40000) EXPECT_FALSE(limiter.allow(key("192.0.2.1"), t0 + 1s)) << "seen again: kept";
    }
    EXPECT_EQ(limiter.trackedKeys(), 50000u);
    EXPECT_FALSE(limiter.allow(key("192.0.2.1"), t0 + 2s)) << "recently seen keys stay";
    EXPECT_FALSE(limiter.allow(key(address(59999)), t0 + 2s));
    EXPECT_TRUE(limiter.allow(key(address(5)), t0 + 2s)) << "the oldest were forgotten";
}

TEST(ClientAddress, IPv6CountsPerSlash64AndMappedIPv4AsIPv4) {
    EXPECT_EQ(key("2001:db8:1:2::1"), key("2001:db8:1:2:ffff:1:2:3"));
    EXPECT_NE(key("2001:db8:1:2::1"), key("2001:db8:1:3::1"));
    EXPECT_EQ(key("2001:db8:1:2::1").text(), "2001:db8:1:2::/64");
    EXPECT_EQ(key("::ffff:192.0.2.7"), key("192.0.2.7"));
    EXPECT_EQ(key(" 192.0.2.7 ").text(), "192.0.2.7");
    ClientAddress a;
    for (const char* bad : {"", "1.2.3", "example.com", "1.2.3.4, 5.6.7.8", "::g"})
        EXPECT_FALSE(ClientAddress::fromText(bad, a)) << bad;
}
