// String: construction, buffers, hashing, comparisons and number text.
#include "runtime/Locale.h"
#include "runtime/Integer.h"
#include "runtime/String.h"

#include <gtest/gtest.h>

using lang::String;

TEST(String, HashOrsTheByteLanes) {
    const int32_t expected = 'a' | ('b' << 8) | ('c' << 16) | ('d' << 24) | 'e';
    EXPECT_EQ(String("abcde").hashCode(), expected);
    EXPECT_EQ(String().hashCode(), 0);
    // A byte of 128 or above is sign-extended and sets every bit above its lane.
    EXPECT_EQ(String("\x80").hashCode(), static_cast<int32_t>(0xFFFFFF80u));
    EXPECT_EQ(String("a\x80").hashCode(), static_cast<int32_t>(0xFFFF8061u));
}

TEST(String, EqualityIsByTextAndClass) {
    const String nullData;
    const String emptyText("");
    EXPECT_TRUE(nullData.equals(&emptyText));
    lang::Integer one(1);
    const String text("1");
    EXPECT_FALSE(text.equals(&one));
    EXPECT_FALSE(String("ab").equals(&emptyText));
    EXPECT_TRUE(String("x.DLL").endsWith(".DLL"));
    EXPECT_FALSE(String("x.DLL").endsWith(".dll"));
    EXPECT_TRUE(String("x.DLL").substring(1).equalsIgnoreCase(".dll"));
    EXPECT_TRUE(String("\xC9t\xE9").equalsIgnoreCase("\xE9T\xC9")); // Latin-1 letters fold too
    EXPECT_FALSE(String("ab").startsWith("abc"));
    EXPECT_FALSE(String("ab").endsWith("xab"));
}

TEST(String, SubstringsAreClamped) {
    EXPECT_EQ(String("abc").substring(5), "");
    EXPECT_EQ(String("abcdef").substring(2, 4), "cd");
    EXPECT_EQ(String("abc").substring(-3, 99), "abc");
    EXPECT_EQ(String("abc").substring(2, 1), "");
    EXPECT_EQ(String("abca").indexOf('a'), 0);
    EXPECT_EQ(String("abca").lastIndexOf('a'), 3);
    EXPECT_EQ(String().indexOf('a'), -1);
}

TEST(String, BufferGrowsToExactlyTheNeededSize) {
    String s("ab");
    EXPECT_EQ(s.capacity(), 3);
    s.append("cde");
    EXPECT_EQ(s.capacity(), 6);
    EXPECT_EQ(s, "abcde");
    s.assign("xy"); // fits: no reallocation
    EXPECT_EQ(s.capacity(), 6);
    s.append(String());
    EXPECT_EQ(s.length(), 2);
    s.append(s); // appending itself reads the old text
    EXPECT_EQ(s, "xyxy");
    String m(String("q"), 40);
    EXPECT_EQ(m.capacity(), 40);
    EXPECT_EQ(String('z', 0).capacity(), 2);
}

TEST(String, WrappingBorrowsAndAssigningCopies) {
    char text[] = "borrowed";
    String w(text, true);
    EXPECT_EQ(w.data(), text);
    EXPECT_EQ(w.capacity(), 0);
    w.append("!");
    EXPECT_NE(w.data(), text);
    EXPECT_EQ(w, "borrowed!");
    EXPECT_STREQ(text, "borrowed");
}

TEST(String, IntegersAndConcatenation) {
    String s;
    s.setInt(-120);
    EXPECT_EQ(s, "-120");
    EXPECT_EQ(String(0), "0");
    EXPECT_EQ(String(INT32_MIN), "-2147483648");
    EXPECT_EQ(String("SCORE") + 0, "SCORE0");
    EXPECT_EQ(String("a") + String("b") + 'c' + "d", "abcd");
}

TEST(String, FormatThousandsUsesTheUserSeparator) {
    lang::Locale::setOverride(',', '.');
    String s;
    EXPECT_EQ(s.formatThousands(1000), "1,000");
    EXPECT_EQ(s.formatThousands(999), "999");
    EXPECT_EQ(s.formatThousands(0), "0");
    EXPECT_EQ(s.formatThousands(1234567), "1,234,567");
    EXPECT_EQ(s.formatThousands(-5), "");
    lang::Locale::setOverride('.', ',');
    EXPECT_EQ(s.formatThousands(12345), "12.345");
    lang::Locale::setOverride('\0', '\0');
}

TEST(String, DoublesWriteLikeGcvtWithNineDigits) {
    EXPECT_EQ(String(100.0), "100.");
    EXPECT_EQ(String(0.0), "0.");
    EXPECT_EQ(String(0.5), "0.5");
    EXPECT_EQ(String(-12.5), "-12.5");
    EXPECT_EQ(String(123456789.0), "123456789.");
    EXPECT_EQ(String(1234567891.0), "1.23456789e+009");
    EXPECT_EQ(String(0.0001), "0.0001");
    EXPECT_EQ(String(0.00001), "1.e-005");
    EXPECT_EQ(String(1.0 / 3.0), "0.333333333");
    EXPECT_EQ(String(2.0 / 3.0), "0.666666667");
}
