// morphella-tool container: list, extract, print and create container data files.
#include "Tool.h"
#include "ItemArgs.h"

#include "io/ContainerWriter.h"
#include "io/FileWriter.h"
#include "io/ResourceFileHeader.h"
#include "io/Resources.h"

#include <cstdio>

using namespace lang;
using namespace mph;

namespace {

int list(const tool::Args& args) {
    if (args.size() != 2) return tool::usageError("usage: container list FILE");
    auto header = make<ResourceFileHeader>(String(args[1].c_str()));
    for (const auto& e : header->entries()) {
        std::fwrite(e.name.c_str(), 1, static_cast<size_t>(e.name.length()), stdout);
        std::printf("\t%u\t%u\n", e.offset, e.length);
    }
    return tool::kOk;
}

// Registers FILE alone, so look-ups answer exactly as the program would for it.
void registerOnly(const std::string& file) {
    clearResourceFiles();
    // A path with a directory part keeps the search from picking another file of the same name.
    addResourceFile(String(file.find('/') == std::string::npos ? ("./" + file).c_str() : file.c_str()));
}

int extract(const tool::Args& args) {
    if (args.size() != 4) return tool::usageError("usage: container extract FILE NAME OUT");
    registerOnly(args[1]);
    Ref<ResourceItem> item = findItem(String(std::string_view(args[2])));
    if (!item) {
        std::fprintf(stderr, "morphella-tool: no item '%s' in %s\n", args[2].c_str(), args[1].c_str());
        return tool::kMissing;
    }
    const uint8_t* data = item->getData();
    writeFileAtomically(String(args[3].c_str()), std::vector<uint8_t>(data, data + item->getLength()));
    return tool::kOk;
}

int text(const tool::Args& args) {
    if (args.size() != 3) return tool::usageError("usage: container text FILE NAME");
    registerOnly(args[1]);
    Ref<ResourceItem> item = findItem(String(std::string_view(args[2])));
    const String value = itemText(item.get());
    std::fwrite(value.c_str(), 1, static_cast<size_t>(value.length()), stdout);
    std::fputc('\n', stdout);
    return item ? tool::kOk : tool::kMissing;
}

int create(const tool::Args& args) {
    if (args.size() < 2) return tool::usageError("usage: container create OUT ITEM...");
    ContainerWriter writer;
    tool::writeItems(writer, args, 2, args[1]);
    return tool::kOk;
}

int run(const tool::Args& args) {
    if (args.empty()) return tool::usageError("usage: container list|extract|text|create ...");
    if (args[0] == "list") return list(args);
    if (args[0] == "extract") return extract(args);
    if (args[0] == "text") return text(args);
    if (args[0] == "create") return create(args);
    return tool::usageError("unknown container command '" + args[0] + "'");
}

const tool::Registration registration("container",
                                      "container list FILE            entries: NAME, OFFSET, LENGTH\n"
                                      "container extract FILE NAME OUT  write an item's bytes to OUT\n"
                                      "container text FILE NAME       print a text item\n"
                                      "container create OUT ITEM...   pack NAME=PATH or PATH items",
                                      run);

} // namespace
