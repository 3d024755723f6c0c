// Parsing the NAME=PATH (or PATH) item arguments of the commands that build data files.
#pragma once

#include "io/FileWriter.h"
#include "runtime/String.h"

#include <string>
#include <vector>

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

// Adds the files named by args[first...] (NAME=PATH or PATH) to writer, which then writes OUT.
template <class Writer> void writeItems(Writer& writer, const std::vector<std::string>& args, size_t first,
                                        const std::string& out) {
    for (size_t i = first; i < args.size(); ++i) {
        const ItemArg item = parseItemArg(args[i]);
        writer.add(lang::String(std::string_view(item.name)), mph::readWholeFile(lang::String(item.path.c_str())));
    }
    writer.write(lang::String(out.c_str()));
}

} // namespace tool
