// morphella-tool container: list, extract, print, create and change container data files.
#include "ItemArgs.h"
#include "Tool.h"

#include "io/ContainerWriter.h"
#include "io/FileWriter.h"
#include "io/ResourceFileHeader.h"
#include "io/Resources.h"
#include "sprites/ScriptScan.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

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

struct Item {
    std::string name;
    std::vector<uint8_t> bytes;
};

// A data script that the game would load as (nearly) nothing gets a word before it is packed.
void warnAboutScript(const Item& item) {
    const ScriptScan scan = ScriptScan::of(item.bytes.data(), item.bytes.size());
    if (!scan.looksLikeScript) return;
    if (scan.runOnCommentLine > 0)
        std::fprintf(
            stderr,
            "morphella-tool: warning: %s: the comment on line %d runs on to the next carriage return, "
            "so the lines after it are not read; data scripts need CR LF line ends (see data/README.md)\n",
            item.name.c_str(), scan.runOnCommentLine);
    if (!scan.reachesASection)
        std::fprintf(stderr, "morphella-tool: warning: %s: the script creates nothing\n", item.name.c_str());
}

// The files named by args[first...] (NAME=PATH, PATH or @LIST), read whole.
std::vector<Item> readItemArgs(const tool::Args& args, size_t first) {
    std::vector<Item> items;
    for (const tool::ItemArg& arg : tool::expandItemArgs(args, first))
        items.push_back(Item{arg.name, readWholeFile(String(arg.path.c_str()))});
    return items;
}

// The first name given twice, or "".
std::string repeatedName(const std::vector<Item>& items) {
    std::set<std::string> seen;
    for (const Item& item : items)
        if (!seen.insert(item.name).second) return item.name;
    return {};
}

void writeContainer(const std::vector<Item>& items, const std::string& out) {
    ContainerWriter writer;
    for (const Item& item : items) {
        warnAboutScript(item);
        writer.add(String(std::string_view(item.name)), item.bytes);
    }
    writer.write(String(out.c_str()));
}

int create(const tool::Args& args) {
    if (args.size() < 2) return tool::usageError("usage: container create OUT ITEM...");
    const std::vector<Item> items = readItemArgs(args, 2);
    if (const std::string twice = repeatedName(items); !twice.empty())
        return tool::usageError("container create: two items are named " + twice);
    writeContainer(items, args[1]);
    return tool::kOk;
}

// Every item of an existing container, in directory order. A container whose directory points past the
// end of the file is refused: writing it back would turn the missing bytes into zeros.
std::vector<Item> readContainer(const std::string& file) {
    const std::vector<uint8_t> bytes = readWholeFile(String(file.c_str()));
    auto header = make<ResourceFileHeader>(String(file.c_str()));
    std::vector<Item> items;
    for (const auto& e : header->entries()) {
        if (static_cast<uint64_t>(e.offset) + e.length > bytes.size())
            throw std::runtime_error(file + " is damaged: item " + e.name.str() +
                                     " lies beyond the end of the file");
        items.push_back(Item{e.name.str(), std::vector<uint8_t>(bytes.begin() + e.offset,
                                                                bytes.begin() + e.offset + e.length)});
    }
    return items;
}

// Replaces every item of that name (in the place of the first) or appends it.
void putItem(std::vector<Item>& items, Item item) {
    bool placed = false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->name != item.name) {
            ++it;
        } else if (!placed) {
            it->bytes = item.bytes;
            placed = true;
            ++it;
        } else {
            it = items.erase(it);
        }
    }
    if (!placed) items.push_back(std::move(item));
}

int put(const tool::Args& args) {
    if (args.size() < 3) return tool::usageError("usage: container put FILE ITEM...");
    std::vector<Item> given = readItemArgs(args, 2);
    if (const std::string twice = repeatedName(given); !twice.empty())
        return tool::usageError("container put: two items are named " + twice);
    std::vector<Item> items = readContainer(args[1]);
    for (Item& item : given)
        putItem(items, std::move(item));
    writeContainer(items, args[1]);
    return tool::kOk;
}

int remove(const tool::Args& args) {
    if (args.size() < 3) return tool::usageError("usage: container delete FILE NAME...");
    std::vector<Item> items = readContainer(args[1]);
    for (size_t i = 2; i < args.size(); ++i) {
        const size_t before = items.size();
        std::erase_if(items, [&](const Item& item) { return item.name == args[i]; });
        if (items.size() == before) {
            // Nothing is written unless every name was there.
            std::fprintf(stderr, "morphella-tool: no item '%s' in %s\n", args[i].c_str(), args[1].c_str());
            return tool::kMissing;
        }
    }
    ContainerWriter writer;
    for (const Item& item : items)
        writer.add(String(std::string_view(item.name)), item.bytes);
    writer.write(String(args[1].c_str()));
    return tool::kOk;
}

int run(const tool::Args& args) {
    if (args.empty()) return tool::usageError("usage: container list|extract|text|create|put|delete ...");
    if (args[0] == "list") return list(args);
    if (args[0] == "extract") return extract(args);
    if (args[0] == "text") return text(args);
    if (args[0] == "create") return create(args);
    if (args[0] == "put") return put(args);
    if (args[0] == "delete") return remove(args);
    return tool::usageError("unknown container command '" + args[0] + "'");
}

const tool::Registration
    registration("container",
                 "container list FILE            entries: NAME, OFFSET, LENGTH\n"
                 "container extract FILE NAME OUT  write an item's bytes to OUT\n"
                 "container text FILE NAME       print a text item\n"
                 "container create OUT ITEM...   pack NAME=PATH or PATH items (each name\n"
                 "                               once; @LIST: one a line)\n"
                 "container put FILE ITEM...     add NAME=PATH or PATH items, replacing those of\n"
                 "                               the same name (FILE is rewritten whole, then renamed)\n"
                 "container delete FILE NAME...  remove items (nothing changes unless all exist)",
                 run);

} // namespace
