// morphella-tool imagepack: list and create image packs.
#include "Tool.h"
#include "ItemArgs.h"

#include "io/FileInputStream.h"
#include "io/FileWriter.h"
#include "io/ImagePackReader.h"
#include "io/ImagePackWriter.h"

#include <cstdio>

using namespace lang;
using namespace mph;

namespace {

int list(const tool::Args& args) {
    if (args.size() != 2) return tool::usageError("usage: imagepack list FILE");
    ImagePackReader reader(make<FileInputStream>(String(args[1].c_str())));
    if (!reader.isValid()) return tool::usageError("not a readable image pack: " + args[1]);
    ImagePackReader::Record record;
    while (reader.next(record)) {
        std::fwrite(record.name.c_str(), 1, static_cast<size_t>(record.name.length()), stdout);
        std::printf("\t%zu\n", record.data.size());
    }
    return tool::kOk;
}

int create(const tool::Args& args) {
    if (args.size() < 3) return tool::usageError("usage: imagepack create OUT ITEM...");
    ImagePackWriter writer;
    tool::writeItems(writer, args, 2, args[1]);
    return tool::kOk;
}

int run(const tool::Args& args) {
    if (args.empty()) return tool::usageError("usage: imagepack list|create ...");
    if (args[0] == "list") return list(args);
    if (args[0] == "create") return create(args);
    return tool::usageError("unknown imagepack command '" + args[0] + "'");
}

const tool::Registration registration("imagepack",
                                      "imagepack list FILE            records: NAME, data length\n"
                                      "imagepack create OUT ITEM...   pack NAME=PATH or PATH images",
                                      run);

} // namespace
