// Fuzzes the container directory reader, item loading and the overlay check over arbitrary bytes in memory.
#include "io/ByteArrayInputStream.h"
#include "io/ResourceFile.h"
#include "io/ResourceFileHeader.h"
#include "io/Resources.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace lang;
using namespace mph;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto length = static_cast<int32_t>(size);
    auto header = make<ResourceFileHeader>(make<ByteArrayInputStream>(data, length), length);
    int64_t total = 0;
    // Every entry is loaded and all its bytes copied out, so reads of memory the item does not own are
    // caught (the address checker checks a copy's whole source; a loop over the bytes costs as much per
    // byte as the rest of the input, and entries may all cover the whole file).
    static std::vector<uint8_t> copy;
    for (const auto& entry : header->entries()) {
        Ref<FileItem> item = header->getItem(entry.name);
        if (!item) std::abort();
        const int32_t length = item->getLength();
        if (length > header->fileSize()) std::abort();
        if (length <= 0) continue;
        if (copy.size() < static_cast<size_t>(length)) copy.resize(static_cast<size_t>(length));
        std::memcpy(copy.data(), item->getData(), static_cast<size_t>(length));
        total += copy[static_cast<size_t>(length) - 1];
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
