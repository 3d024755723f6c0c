// StreamTokenizer: the character class table and the token reader.
#include "io/StreamTokenizer.h"

#include "runtime/Exception.h"

#include <algorithm>
#include <string>

using namespace lang;

namespace mph {

StreamTokenizer::StreamTokenizer(Ref<InputStream> stream) : m_stream(std::move(stream)) {
    for (int c = 0; c < 256; ++c)
        m_classTable[c] = c <= 32 ? kWhitespace : kWord;
    m_classTable[13] = kEndOfLine; // carriage return
}

void StreamTokenizer::setClasses(int low, int high, CharClass value) {
    for (int c = std::max(low, 0); c <= high && c <= 255; ++c)
        m_classTable[c] = value;
}

void StreamTokenizer::parseNumbers() {
    setClasses('0', '9', kNumber);
    setClass('-', kNumber);
    setClass('.', kNumber);
}

int StreamTokenizer::readByte() {
    const int32_t c = m_stream ? m_stream->read() : -1;
    // A line feed right after a carriage return ends the same line.
    if (c == '\n' && !m_afterCarriageReturn) ++m_textLine;
    if (c == '\r') ++m_textLine;
    m_afterCarriageReturn = c == '\r';
    return c < 0 || c > 255 ? kEnd : c;
}

int StreamTokenizer::skipComment() {
    const int32_t line = m_textLine;
    int c = readByte();
    while (c != kEnd && m_classTable[c] != kEndOfLine) {
        if (c == '\n' && m_runOnCommentLine == 0) m_runOnCommentLine = line;
        c = readByte();
    }
    return c;
}

int32_t StreamTokenizer::nextToken() {
    if (m_pushedBack) {
        m_pushedBack = false;
        return m_ttype;
    }
    int c = m_lookahead;
    if (c == kEnd) c = readByte();
    if (c != kEnd && m_classTable[c] == kComment) c = skipComment();
    // Skip whitespace, insignificant line ends and comments. A 0xFF byte is the end of input wherever it
    // appears, so the class table is never consulted for it.
    while (c != kEnd) {
        const uint8_t cls = m_classTable[c];
        if (cls != kWhitespace && !(cls == kEndOfLine && !m_eolIsSignificant)) break;
        c = readByte();
        if (c != kEnd && m_classTable[c] == kComment) c = skipComment();
    }
    m_lookahead = c;
    m_tokenLine = m_textLine;
    if (c == kEnd) return m_ttype = TT_EOF;

    switch (m_classTable[c]) {
    case kWord: {
        std::string word(1, static_cast<char>(c));
        c = readByte();
        while (c != kEnd && (m_classTable[c] == kWord || m_classTable[c] == kNumber)) {
            word.push_back(static_cast<char>(c));
            c = readByte();
        }
        m_lookahead = c;
        m_sval = String(std::string_view(word));
        return m_ttype = TT_WORD;
    }
    case kNumber: {
        double value = 0.0;
        bool negative = false;
        int point = -1;
        int digits = 0;
        while (c != kEnd && m_classTable[c] == kNumber) {
            if (c == '-') {
                negative = true;
            } else if (c == '.') {
                point = digits; // a later point moves it: the last one counts
            } else if (c >= '0' && c <= '9') {
                value = value * 10.0 + (c - '0');
                ++digits;
            }
            c = readByte();
        }
        m_lookahead = c;
        if (point >= 0) {
            for (int i = point; i < digits; ++i)
                value *= 0.1;
        }
        m_nval = negative ? -value : value;
        return m_ttype = TT_NUMBER;
    }
    case kQuote: {
        std::string text;
        c = readByte();
        while (c != kEnd && m_classTable[c] != kQuote) {
            text.push_back(static_cast<char>(c));
            c = readByte();
        }
        m_lookahead = c == kEnd ? kEnd : readByte();
        m_sval = String(std::string_view(text));
        return m_ttype = TT_WORD;
    }
    case kEndOfLine:
        ++m_lineNumber;
        m_lookahead = kEnd;
        return m_ttype = TT_EOL;
    case kOrdinary:
        m_lookahead = kEnd;
        return m_ttype = c;
    default:
        throwException("Invalid character type");
    }
}

String StreamTokenizer::toString() const {
    switch (m_ttype) {
    case TT_WORD:
        return m_sval;
    case TT_NUMBER:
        return String(m_nval);
    case TT_EOL:
        return String("EOL");
    case TT_EOF:
        return String("EOF");
    default:
        return String(static_cast<char>(m_ttype), 2);
    }
}

} // namespace mph
