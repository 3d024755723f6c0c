// Parsing the NAME=PATH (or PATH) item arguments of the commands that build data files.
#pragma once

#include <string>

namespace tool {

struct ItemArg {
    std::string name;
    std::string path;
};

// NAME=PATH gives both; a bare PATH is named after the file's base name.
inline ItemArg parseItemArg(const std::string& arg) {
    const size_t eq = arg.find('=');
    if (eq != std::string::npos && eq > 0) return ItemArg{arg.substr(0, eq), arg.substr(eq + 1)};
    const size_t slash = arg.find_last_of("/\\");
    return ItemArg{slash == std::string::npos ? arg : arg.substr(slash + 1), arg};
}

} // namespace tool
