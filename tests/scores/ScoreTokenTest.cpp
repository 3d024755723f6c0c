// The score token: a token checks against what it was made from and against nothing else.
#include "scores/ScoreToken.h"

#include <gtest/gtest.h>

using namespace mph;

TEST(ScoreToken, RoundTripsTheLevelAndRefusesAnyChange) {
    const std::string token = scoretoken::make(42, "Ann", 17, 123456);
    ASSERT_EQ(token.substr(0, 4), "042A");
    EXPECT_EQ(scoretoken::check(token, "Ann", 123456), 17);
    EXPECT_EQ(scoretoken::check(token, "ann", 123456), -1);
    EXPECT_EQ(scoretoken::check(token, "Ann", 123457), -1);
    // Another nonce, or either integer changed by one.
    std::string other = token;
    other[2] = '3';
    EXPECT_EQ(scoretoken::check(other, "Ann", 123456), -1);
    const size_t a = token.find('A', 4);
    std::string first = token;
    first[a - 1] = first[a - 1] == '9' ? '8' : static_cast<char>(first[a - 1] + 1);
    EXPECT_EQ(scoretoken::check(first, "Ann", 123456), -1);
    std::string second = token;
    second.back() = second.back() == '9' ? '8' : static_cast<char>(second.back() + 1);
    EXPECT_EQ(scoretoken::check(second, "Ann", 123456), -1);
}

TEST(ScoreToken, NameBytesAboveAsciiAndMalformedTokens) {
    const std::string name = "Jos\xe9";
    EXPECT_EQ(scoretoken::check(scoretoken::make(999, name, 3, 5), name, 5), 3);
    EXPECT_EQ(scoretoken::make(1000, "x", 1, 1).substr(0, 3), "001");
    for (const char* bad :
         {"", "12A1A1", "000A1A1", "123A1A", "123AA1", "123A1A1x", "123A99999999999A1", "abcA1A1"})
        EXPECT_EQ(scoretoken::check(bad, "x", 1), -1) << bad;
}
