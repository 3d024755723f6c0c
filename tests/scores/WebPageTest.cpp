// openWebPage: only http and https addresses are handed to the opener, and a missing opener is reported.
#include "scores/WebPage.h"

#include <gtest/gtest.h>

using lang::String;
using namespace mph;

TEST(WebPage, OnlyWebAddressesAreOpened) {
    EXPECT_TRUE(isWebAddress(kHomePage));
    EXPECT_TRUE(isWebAddress("HTTP://Example.com:8080/a?b=c"));
    testing::internal::CaptureStderr();
    for (const char* bad : {"", "file:///etc/passwd", "javascript:alert(1)", "ftp://example.com/", "http://",
                            "https://a b/", "http://x/\n", "mailto:a@b", "-http://x/"}) {
        EXPECT_FALSE(isWebAddress(bad)) << bad;
        EXPECT_FALSE(openWebPageWith("true", bad)) << bad;
    }
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Not opening \"ftp://"), std::string::npos);
    EXPECT_TRUE(openWebPageWith("true", "https://example.com/"));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(openWebPageWith("mph-no-such-opener", "https://example.com/"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("could not be started"), std::string::npos);
}
