// Tests of StreamTokenizer: numbers, words, comments, quotes, line ends and push-back.
#include "io/ByteArrayInputStream.h"
#include "io/StreamTokenizer.h"
#include "runtime/Exception.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

using namespace lang;
using namespace mph;

namespace {

// A tokenizer over text, which must outlive it.
Ref<StreamTokenizer> over(const std::string& text) {
    return make<StreamTokenizer>(make<ByteArrayInputStream>(reinterpret_cast<const uint8_t*>(text.data()),
                                                            static_cast<int32_t>(text.size())));
}

} // namespace

TEST(StreamTokenizer, NumbersThenWordsAndTheLastPointCounts) {
    const std::string text = "-12.5abc 1.2.3 - .5 7";
    auto t = over(text);
    t->parseNumbers();
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_NUMBER);
    EXPECT_DOUBLE_EQ(t->nval(), -12.5);
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->sval(), "abc");
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_NUMBER);
    EXPECT_DOUBLE_EQ(t->nval(), 12.3);
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_NUMBER);
    EXPECT_EQ(t->nval(), 0.0);
    EXPECT_TRUE(std::signbit(t->nval()));
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_NUMBER);
    EXPECT_DOUBLE_EQ(t->nval(), 0.5);
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_NUMBER);
    EXPECT_EQ(t->toString(), "7.");
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_EOF);
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_EOF);
    EXPECT_EQ(t->toString(), "EOF");
}

TEST(StreamTokenizer, WithoutParseNumbersDigitsAreWordCharacters) {
    const std::string text = "12ab -3";
    auto t = over(text);
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->sval(), "12ab");
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->sval(), "-3");
}

TEST(StreamTokenizer, CommentsEndOnlyAtCarriageReturn) {
    const std::string lf = "a ; note\nb\nc";
    auto t = over(lf);
    t->commentChar(';');
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->sval(), "a");
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_EOF);

    const std::string crlf = ";first\r\n x ;second\r\ny";
    auto u = over(crlf);
    u->commentChar(';');
    ASSERT_EQ(u->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(u->sval(), "x");
    ASSERT_EQ(u->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(u->sval(), "y");
    EXPECT_EQ(u->nextToken(), StreamTokenizer::TT_EOF);
}

TEST(StreamTokenizer, SignificantLineEndsAreCounted) {
    const std::string text = "a\r\rb;c\rd";
    auto t = over(text);
    t->eolIsSignificant(true);
    t->commentChar(';');
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_EOL);
    EXPECT_EQ(t->toString(), "EOL");
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_EOL);
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_EOL);
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->sval(), "d");
    EXPECT_EQ(t->lineno(), 4);
}

TEST(StreamTokenizer, QuotesHaveNoEscapesAndMayStayOpen) {
    const std::string text = "\"two words\"next 'a\\' \"rest\r\nof it";
    auto t = over(text);
    t->quoteChar('"');
    t->quoteChar('\'');
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->sval(), "two words");
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->sval(), "next");
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->sval(), "a\\");
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->sval(), "rest\r\nof it");
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_EOF);
}

TEST(StreamTokenizer, PushBackRepeatsTheToken) {
    const std::string text = "3.5 word";
    auto t = over(text);
    t->parseNumbers();
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_NUMBER);
    t->pushBack();
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_NUMBER);
    EXPECT_DOUBLE_EQ(t->nval(), 3.5);
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    t->pushBack();
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->sval(), "word");
    EXPECT_DOUBLE_EQ(t->nval(), 3.5);
}

TEST(StreamTokenizer, OrdinaryCharactersAndTheFFByteAsEnd) {
    const std::string text = "a=b \xff"
                             "c";
    auto t = over(text);
    t->ordinaryChar('=');
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->nextToken(), '=');
    EXPECT_EQ(t->toString(), "=");
    ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->sval(), "b");
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_EOF);
}

TEST(StreamTokenizer, CommentToTheEndOfInputIsTheEnd) {
    const std::string text = "x ;never closed";
    auto t = over(text);
    t->commentChar(';');
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_EOF);
}

TEST(StreamTokenizer, InvalidCharacterClassThrows) {
    const std::string text = "ok #";
    auto t = over(text);
    t->setCharClass('#', 9);
    EXPECT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
    try {
        t->nextToken();
        FAIL() << "no exception";
    } catch (Exception* e) {
        EXPECT_EQ(e->getMessage(), "Invalid character type");
        e->release();
    }
}

TEST(StreamTokenizer, TokensKnowTheirLineAndACommentThatSwallowsALineFeedIsNoted) {
    // LF, CR LF and a lone CR each end a line, whatever the classes say.
    const std::string text = "a\nb\r\nc\rd";
    auto t = over(text);
    for (int line = 1; line <= 4; ++line) {
        ASSERT_EQ(t->nextToken(), StreamTokenizer::TT_WORD);
        EXPECT_EQ(t->tokenLine(), line) << t->sval().c_str();
    }
    EXPECT_EQ(t->runOnCommentLine(), 0);
    // With LF line ends a comment runs on to the next carriage return.
    const std::string lfText = "x\n;note\ny\r\nz";
    auto lf = over(lfText);
    lf->commentChar(';');
    ASSERT_EQ(lf->nextToken(), StreamTokenizer::TT_WORD);
    ASSERT_EQ(lf->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(lf->sval(), "z");
    EXPECT_EQ(lf->tokenLine(), 4);
    EXPECT_EQ(lf->runOnCommentLine(), 2);
    const std::string crlfText = ";note\r\ny";
    auto crlf = over(crlfText);
    crlf->commentChar(';');
    ASSERT_EQ(crlf->nextToken(), StreamTokenizer::TT_WORD);
    EXPECT_EQ(crlf->runOnCommentLine(), 0);
}
