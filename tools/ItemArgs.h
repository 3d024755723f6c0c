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

// The item arguments of args[first...], where @LIST stands for the lines of the file LIST (one NAME=PATH or
// PATH a line; empty lines are skipped).
inline std::vector<ItemArg> expandItemArgs(const std::vector<std::string>& args, size_t first) {
    std::vector<ItemArg> items;
    for (size_t i = first; i < args.size(); ++i) {
        if (args[i].size() > 1 && args[i][0] == '@') {
            const std::vector<uint8_t> bytes = mph::readWholeFile(lang::String(args[i].c_str() + 1));
            std::string line;
            for (size_t at = 0; at <= bytes.size(); ++at) {
                if (at == bytes.size() || bytes[at] == '\n') {
                    if (!line.empty() && line.back() == '\r') line.pop_back();
                    if (!line.empty()) items.push_back(parseItemArg(line));
                    line.clear();
                } else {
                    line += static_cast<char>(bytes[at]);
                }
            }
        } else {
            items.push_back(parseItemArg(args[i]));
        }
    }
    return items;
}

// Adds the files named by args[first...] (NAME=PATH, PATH or @LIST) to writer, which then writes OUT.
template <class Writer> void writeItems(Writer& writer, const std::vector<std::string>& args, size_t first,
                                        const std::string& out) {
    for (const ItemArg& item : expandItemArgs(args, first))
        writer.add(lang::String(std::string_view(item.name)), mph::readWholeFile(lang::String(item.path.c_str())));
    writer.write(lang::String(out.c_str()));
}

} // namespace tool
