// Fuzzes the container directory reader, item loading and the overlay check over arbitrary bytes in memory.
#include "io/ByteArrayInputStream.h"
#include "io/ResourceFile.h"
#include "io/ResourceFileHeader.h"
#include "io/Resources.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace lang;
using namespace mph;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto length = static_cast<int32_t>(size);
    auto header = make<ResourceFileHeader>(make<ByteArrayInputStream>(data, length), length);
    int64_t total = 0;
    // Every entry is loaded and every byte touched, so reads of memory the item does not own are caught.
    for (const auto& entry : header->entries()) {
        Ref<FileItem> item = header->getItem(entry.name);
        if (!item) std::abort();
        if (item->getLength() > header->fileSize()) std::abort();
        for (int32_t i = 0; i < item->getLength(); ++i)
            total += item->getData()[i];
    }
    if (header->getItem(String("\x01missing")) && header->entries().empty()) std::abort();
    // The check a language overlay passes before it is used: whole directory, items inside, seal.
    std::string reason;
    if (!header->checkIntact(reason) && reason.empty()) std::abort();
    // The same directory through the process-wide chain, as the program reads text items.
    addResourceFile(make<ResourceFile>(header));
    if (!header->entries().empty()) total += getResourceString(header->entries().front().name).length();
    clearResourceFiles();
    return total == -1;
}
