// Web addresses, network state and the message box fallback.
#include "platform/Desktop.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

using mph::Desktop;
using mph::MessageBox;

TEST(Desktop, OnlyPlainHttpAndHttpsAddressesAreOpened) {
    EXPECT_TRUE(Desktop::isWebAddress("http://example.org/"));
    EXPECT_TRUE(Desktop::isWebAddress("HTTPS://example.org/a?b=c"));
    EXPECT_FALSE(Desktop::isWebAddress("http://"));
    EXPECT_FALSE(Desktop::isWebAddress("file:///etc/passwd"));
    EXPECT_FALSE(Desktop::isWebAddress("javascript:alert(1)"));
    EXPECT_FALSE(Desktop::isWebAddress("-http://example.org"));
    EXPECT_FALSE(Desktop::isWebAddress("http://example.org/ --new-window"));
    EXPECT_FALSE(Desktop::isWebAddress("http://example.org/\nx"));
    EXPECT_FALSE(Desktop::openWebPage("ftp://example.org/"));
}

TEST(Desktop, DefaultsWithoutADisplay) {
    // Before the window layer starts there is no display to ask.
    EXPECT_EQ(Desktop::getColorDepth(), 32);
    EXPECT_EQ(Desktop::getWorkArea().width, 800);
    // Whatever the machine's network, the question is answered without failing.
    (void)Desktop::isInternetConnected();
}

TEST(MessageBox, WithoutADisplayTheTextGoesToStandardError) {
    ASSERT_FALSE(MessageBox::displayAvailable()); // the tests run with SDL's dummy driver
    testing::internal::CaptureStderr();
    MessageBox::show("Unable to switch to Fullscreen mode.", "Error");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Unable to switch to Fullscreen mode.\n");
}
