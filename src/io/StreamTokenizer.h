// StreamTokenizer: splits a byte stream into words, numbers, quoted strings and single characters.
#pragma once

#include "io/InputStream.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

namespace mph {

class StreamTokenizer : public lang::Object {
    LANG_CLASS(StreamTokenizer, Object)

public:
    // Token types held in ttype; any other value is the byte of an ordinary character.
    static constexpr int32_t TT_EOF = -1;
    static constexpr int32_t TT_EOL = -2;
    static constexpr int32_t TT_NUMBER = -3;
    static constexpr int32_t TT_WORD = -4;

    // Character classes of the class table.
    enum CharClass : uint8_t {
        kWord = 0,
        kWhitespace = 1,
        kNumber = 2,
        kComment = 3,
        kOrdinary = 4,
        kEndOfLine = 5,
        kQuote = 6,
    };

    explicit StreamTokenizer(lang::Ref<InputStream> stream);

    void eolIsSignificant(bool flag) { m_eolIsSignificant = flag; }
    void commentChar(int c) { setClass(c, kComment); }
    void quoteChar(int c) { setClass(c, kQuote); }
    void ordinaryChar(int c) { setClass(c, kOrdinary); }
    void wordChars(int low, int high) { setClasses(low, high, kWord); }
    void whitespaceChars(int low, int high) { setClasses(low, high, kWhitespace); }
    // Makes '0' to '9', '-' and '.' number characters.
    void parseNumbers();
    // Sets a raw class value; values outside the classes above make nextToken throw when it meets c.
    void setCharClass(int c, uint8_t value) { setClass(c, static_cast<CharClass>(value)); }
    // Makes the next nextToken return the current token again.
    void pushBack() { m_pushedBack = true; }
    // Reads the next token and returns its type; throws "Invalid character type" for a class out of range.
    int32_t nextToken();

    lang::String toString() const override;

    int32_t ttype() const { return m_ttype; }
    const lang::String& sval() const { return m_sval; }
    double nval() const { return m_nval; }
    int32_t lineno() const { return m_lineNumber; }
    // The line the current token began on, as an editor counts them: LF, CR LF and a lone CR each end
    // one line, whatever the character classes say.
    int32_t tokenLine() const { return m_tokenLine; }
    // The line of the first comment that ran on past a line feed to a later end-of-line byte (or to the
    // end), 0 when none did: a script saved with LF line ends loses everything after such a comment.
    int32_t runOnCommentLine() const { return m_runOnCommentLine; }

private:
    static constexpr int kEnd = 0xFF; // the lookahead value for "nothing read yet" and for the end

    void setClass(int c, CharClass value) {
        if (c >= 0 && c <= 255) m_classTable[c] = value;
    }
    void setClasses(int low, int high, CharClass value);
    // The next byte of the stream, with the end (and a 0xFF byte) as kEnd.
    int readByte();
    // Drops bytes up to the next end-of-line byte; returns that byte or kEnd.
    int skipComment();

    bool m_eolIsSignificant = false;
    int32_t m_lineNumber = 1;
    int32_t m_textLine = 1; // the line of the byte read last, counted by readByte
    bool m_afterCarriageReturn = false;
    int32_t m_tokenLine = 1;
    int32_t m_runOnCommentLine = 0;
    bool m_pushedBack = false;
    uint8_t m_classTable[256];
    int m_lookahead = kEnd;
    lang::Ref<InputStream> m_stream;
    lang::String m_sval;
    double m_nval = 0.0;
    int32_t m_ttype = TT_EOF;
};

} // namespace mph
