// GlobalReply: default ranks, the highlight's first row, element names in any case, stray nodes, text in
// Latin-1, numbers read as atol does, and malformed documents.
#include "scores/GlobalReply.h"

#include <gtest/gtest.h>

using mph::GlobalReply;

namespace {

std::string entries(int count) {
    std::string xml;
    for (int i = 1; i <= count; ++i)
        xml += "<entry><name>p" + std::to_string(i) + "</name><score>" + std::to_string(1000 - i) +
               "</score></entry>";
    return xml;
}

} // namespace

TEST(GlobalReply, EntriesWithoutRanksAreNumberedInDocumentOrder) {
    const GlobalReply::Table t = GlobalReply::parse(
        "<?xml version=\"1.0\"?>\r\n<scores>\r\n <!-- best first -->\t<entry> "
        "<NAME>ann</NAME><Score>30</Score>"
        "<level>4</level></entry>\n<ENTRY><name>bob</name><score>20</score><rank>9</rank></ENTRY>"
        "<other>x</other>stray "
        "text<entry><name><![CDATA[c]]>d</name><score>-5x</score><level/></entry></scores>");
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[0].name, "ann");
    EXPECT_EQ(t.rows[0].score, 30);
    EXPECT_EQ(t.rows[0].level, 4);
    EXPECT_EQ(t.rows[0].rank, 1);
    EXPECT_EQ(t.rows[1].rank, 9);
    EXPECT_EQ(t.rows[2].rank, 3) << "the position among the entries, whatever ranks came before";
    EXPECT_EQ(t.rows[2].name, "cd");
    EXPECT_EQ(t.rows[2].score, -5);
    EXPECT_FALSE(t.highlighted);
}

TEST(GlobalReply, HighlightSetsTheFirstRowWithinTheEntriesReadSoFar) {
    GlobalReply::Table t = GlobalReply::parse("<r>" + entries(30) + "<highlight>12</highlight></r>");
    EXPECT_TRUE(t.highlighted);
    EXPECT_EQ(t.highlightRank, 12);
    EXPECT_EQ(t.firstRow, 7);
    EXPECT_EQ(GlobalReply::parse("<r>" + entries(30) + "<Highlight> 3</Highlight></r>").firstRow, 0);
    t = GlobalReply::parse("<r>" + entries(4) + "<highlight>30</highlight>" + entries(30) + "</r>");
    EXPECT_EQ(t.firstRow, 3) << "at most the entries read before it, less one";
    EXPECT_EQ(t.rows.size(), 34u);
}

TEST(GlobalReply, NamesComeBackInLatin1) {
    const GlobalReply::Table t = GlobalReply::parse(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r><entry><name>Zo\xE9</name></entry></r>");
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.rows[0].name, "Zo\xE9");
    EXPECT_EQ(GlobalReply::toLatin1("\xC3\xA9\xE2\x82\xAC!\xC3"), "\xE9?!?");
}

TEST(GlobalReply, MalformedDocumentsGiveNoRows) {
    for (const char* bad : {"", "<r><entry><name>a</name></entry>", "<r><entry></r></entry>", "not xml",
                            "<r>&undefined;<entry/></r>", "<a/><b/>"}) {
        EXPECT_TRUE(GlobalReply::parse(bad).rows.empty()) << bad;
    }
}

TEST(GlobalReply, NumbersFollowTheAtolRule) {
    EXPECT_EQ(GlobalReply::readNumber(" \t+42abc"), 42);
    EXPECT_EQ(GlobalReply::readNumber("-7"), -7);
    EXPECT_EQ(GlobalReply::readNumber("x1"), 0);
    EXPECT_EQ(GlobalReply::readNumber("99999999999"), INT32_MAX);
    EXPECT_EQ(GlobalReply::readNumber("-99999999999"), INT32_MIN);
}
