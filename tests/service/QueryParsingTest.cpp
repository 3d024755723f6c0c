// Query splitting, percent-decoding, and the checks a fetch's or a submission's parameters must pass.
#include "scores/ScoreToken.h"
#include "service/QueryString.h"
#include "service/ScoreParams.h"

#include <gtest/gtest.h>

using namespace mph;
using namespace mph::service;

TEST(QueryString, DecodesPercentEscapesAndPlusIntoBytes) {
    std::string out;
    ASSERT_TRUE(QueryString::decode("Jos%E9+%df%2b%25", out));
    EXPECT_EQ(out, "Jos\xe9 \xdf+%");
    for (const char* bad : {"%", "%4", "%G1", "a%2", "%%41"})
        EXPECT_FALSE(QueryString::decode(bad, out)) << bad;

    QueryString q;
    ASSERT_EQ(QueryString::parse("a=1&&b=x%3Dy&flag&=v&", q), QueryString::Error::None);
    EXPECT_EQ(q.size(), 4u);
    EXPECT_EQ(*q.get("b"), "x=y");
    EXPECT_EQ(*q.get("flag"), "");
    EXPECT_EQ(*q.get(""), "v");
    EXPECT_EQ(q.get("c"), nullptr);
}

TEST(QueryString, RefusesDuplicatesOverlongAndCrowdedQueries) {
    QueryString q;
    EXPECT_EQ(QueryString::parse("name=a&n%61me=b", q), QueryString::Error::Duplicate);
    EXPECT_EQ(QueryString::parse("a=%zz", q), QueryString::Error::BadEscape);
    EXPECT_EQ(QueryString::parse(std::string(QueryString::kMaxLength + 1, 'a'), q),
              QueryString::Error::TooLong);
    EXPECT_EQ(QueryString::parse(std::string(QueryString::kMaxLength, 'a'), q), QueryString::Error::None);
    std::string crowded;
    for (int i = 0; i <= static_cast<int>(QueryString::kMaxParameters); ++i) {
        crowded += std::to_string(i);
        crowded += "=&";
    }
    EXPECT_EQ(QueryString::parse(crowded, q), QueryString::Error::TooMany);
}

TEST(ScoreParams, ReadsAGoodSubmissionAndRefusesEachBadParameter) {
    const std::string token = scoretoken::make(7, "Ann Lee", 3, 900);
    ScoreParams p;
    ASSERT_EQ(ScoreParams::readSubmit("game=mphl&mode=N&name=Ann+Lee&score=" + token + "&s=900", p), "");
    EXPECT_EQ(p.mode, "N");
    EXPECT_EQ(p.name, "Ann Lee");
    EXPECT_EQ(p.token, token);
    EXPECT_EQ(p.score, 900);

    const std::string tail = "&score=" + token + "&s=900";
    const std::pair<std::string, std::string> bad[] = {
        {"mode=S&name=A" + tail, "missing game"},
        {"game=other&mode=S&name=A" + tail, "unknown game"},
        {"game=mphl&mode=s&name=A" + tail, "unknown mode"},
        {"game=mphl&mode=S" + tail, "missing name"},
        {"game=mphl&mode=S&name=" + tail, "missing name"},
        {"game=mphl&mode=S&name=Abcdefgh" + tail, "name longer than 7 characters"},
        {"game=mphl&mode=S&name=A%0aB" + tail, "name holds control characters"},
        {"game=mphl&mode=S&name=A&s=900", "missing score token"},
        {"game=mphl&mode=S&name=A&score=12x&s=900", "malformed score token"},
        {"game=mphl&mode=S&name=A&score=" + token, "missing s"},
        {"game=mphl&mode=S&name=A&score=" + token + "&s=9e2", "s is not a score"},
        {"game=mphl&mode=S&name=A&score=" + token + "&s=-1", "s is not a score"},
        {"game=mphl&mode=S&name=A&score=" + token + "&s=2147483648", "s is not a score"},
    };
    for (const auto& [query, reason] : bad)
        EXPECT_EQ(ScoreParams::readSubmit(query, p), reason) << query;
    // Seven Latin-1 letters are seven characters, however they were encoded.
    EXPECT_EQ(ScoreParams::readSubmit("game=mphl&mode=S&name=%E9%E9%E9%E9%E9%E9%E9" + tail, p), "");
    EXPECT_EQ(ScoreParams::readFetch("game=mphl&mode=S&extra=1", p), "");
    EXPECT_EQ(ScoreParams::readFetch("game=mphl", p), "missing mode");
}
