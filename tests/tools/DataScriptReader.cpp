// A reader of data scripts for the data tests, following the loader's tokenizing and section rules.
#include "DataScriptReader.h"

#include <cctype>
#include <cstdlib>

namespace datatest {

namespace {

bool isNumberStart(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '.';
}

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
    std::vector<Token> out;
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c <= 32) {
            ++i;
        } else if (c == ';') {
            while (i < text.size() && text[i] != '\r')
                ++i;
        } else if (c == '"') {
            const size_t end = text.find('"', i + 1);
            const size_t stop = end == std::string::npos ? text.size() : end;
            out.push_back({Token::Word, text.substr(i + 1, stop - i - 1)});
            i = stop + 1;
        } else {
            size_t j = i;
            while (j < text.size() && static_cast<unsigned char>(text[j]) > 32 && text[j] != ';' &&
                   text[j] != '"')
                ++j;
            const std::string word = text.substr(i, j - i);
            if (isNumberStart(text[i]))
                out.push_back({Token::Number, word, std::strtod(word.c_str(), nullptr)});
            else
                out.push_back({Token::Word, word});
            i = j;
        }
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
