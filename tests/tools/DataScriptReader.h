// Reads a data script the way the program's loader does, for checking the built container's scripts.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace datatest {

struct Token {
    enum Kind { Word, Number } kind;
    std::string text;
    double value = 0;
};

// Splits script text with the program's tokenizer set up as the loader sets it up.
std::vector<Token> tokenize(const std::string& text);

struct SpriteDef {
    std::string name;
    std::string className;
    std::string nestedScript; // text after ':' in the class text, or empty
    std::vector<std::string> images;
    std::vector<int> numbers;
};

struct Script {
    std::map<std::string, std::string> images; // name to image source
    std::vector<std::string> sounds;
    std::vector<std::string> strings;
    std::vector<int> data;
    std::vector<SpriteDef> sprites;
    bool endedAtEnd = false; // the script ended at its "<end>" header
};

// Walks the sections as the loader does; sections may repeat and come in any order.
Script parseScript(const std::string& text);

} // namespace datatest
