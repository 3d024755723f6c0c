// A reader of data scripts for the data tests: the program's tokenizer, then the loader's section rules.
#include "DataScriptReader.h"

#include "io/ByteArrayInputStream.h"
#include "io/StreamTokenizer.h"
#include "runtime/Ref.h"

#include <cctype>
#include <cstdint>

namespace datatest {

namespace {

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool isHeader(const Token& t) {
    return t.kind == Token::Word && !t.text.empty() && t.text[0] == '<';
}

} // namespace

std::vector<Token> tokenize(const std::string& text) {
    using mph::StreamTokenizer;
    auto stream = lang::adopt<mph::InputStream>(new mph::ByteArrayInputStream(
        reinterpret_cast<const uint8_t*>(text.data()), static_cast<int32_t>(text.size())));
    auto tok = lang::make<StreamTokenizer>(stream);
    // The loader's set-up: blanks up to 32, carriage return an insignificant line end, ';' comments,
    // '"' quotes, digits, '-' and '.' numbers, every other byte a word character.
    tok->whitespaceChars(0, 32);
    tok->setCharClass(13, StreamTokenizer::kEndOfLine);
    tok->eolIsSignificant(false);
    tok->commentChar(';');
    tok->quoteChar('"');
    tok->parseNumbers();
    std::vector<Token> out;
    for (;;) {
        const int32_t type = tok->nextToken();
        if (type == StreamTokenizer::TT_EOF) break;
        if (type == StreamTokenizer::TT_NUMBER)
            out.push_back({Token::Number, {}, tok->nval()});
        else if (type == StreamTokenizer::TT_WORD)
            out.push_back({Token::Word, tok->sval().str()});
    }
    return out;
}

Script parseScript(const std::string& text) {
    const std::vector<Token> tokens = tokenize(text);
    Script script;
    size_t i = 0;
    const auto more = [&] { return i < tokens.size(); };
    while (more()) {
        const std::string header = lower(tokens[i++].text);
        if (header == "<end>") {
            script.endedAtEnd = true;
            return script;
        }
        if (header == "<images>") {
            while (more() && !isHeader(tokens[i])) {
                const std::string name = tokens[i++].text;
                if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bin") == 0) continue;
                if (!more()) return script;
                script.images[name] = tokens[i++].text;
            }
        } else if (header == "<sounds>") {
            script.sounds.clear();
            while (more() && !isHeader(tokens[i]))
                script.sounds.push_back(tokens[i++].text);
        } else if (header == "<strings>") {
            script.strings.clear();
            while (more() && !isHeader(tokens[i]))
                script.strings.push_back(tokens[i++].text);
        } else if (header == "<data>") {
            script.data.clear();
            while (more() && tokens[i].kind == Token::Number) {
                script.data.push_back(static_cast<int>(tokens[i++].value));
                if (script.data.size() == 300) return script;
            }
        } else if (header == "<sprites>") {
            while (more() && !isHeader(tokens[i])) {
                SpriteDef def;
                def.name = tokens[i++].text;
                if (!more()) return script;
                const std::string classText = tokens[i++].text;
                const size_t colon = classText.find(':');
                def.className = classText.substr(0, colon);
                if (colon != std::string::npos) def.nestedScript = classText.substr(colon + 1);
                while (more() && tokens[i].kind != Token::Number)
                    def.images.push_back(tokens[i++].text);
                while (more() && tokens[i].kind == Token::Number) {
                    def.numbers.push_back(static_cast<int>(tokens[i++].value));
                }
                script.sprites.push_back(def);
            }
        }
    }
    return script;
}

} // namespace datatest
