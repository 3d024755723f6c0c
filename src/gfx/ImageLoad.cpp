// Image loading by name: reads a disk file or a container item whole through a stream and decodes it.
#include "gfx/Image.h"

#include "io/ByteArrayInputStream.h"
#include "io/FileInputStream.h"
#include "io/Path.h"
#include "io/Resources.h"
#include "runtime/Exception.h"
#include "runtime/Ref.h"

#include <cstdlib>
#include <utility>

#include <sys/stat.h>

namespace mph {

namespace {

// No picture the program accepts comes near this; a larger file is refused rather than read.
constexpr int32_t kMaxStreamBytes = 256 * 1024 * 1024;

// Reads the stream to its end into a malloc'ed buffer that starts at 8192 bytes and doubles when full.
// Null when the stream is larger than any picture could be, cannot be read or memory runs out.
uint8_t* readWhole(InputStream& stream, int32_t& length) {
    int32_t capacity = 8192;
    length = 0;
    auto* buffer = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(capacity)));
    while (buffer != nullptr) {
        if (length == capacity) {
            if (capacity >= kMaxStreamBytes) {
                std::free(buffer);
                return nullptr;
            }
            capacity *= 2;
            auto* larger = static_cast<uint8_t*>(std::realloc(buffer, static_cast<size_t>(capacity)));
            if (larger == nullptr) std::free(buffer);
            buffer = larger;
            continue;
        }
        int32_t got = 0;
        try {
            got = stream.read(buffer, length, capacity - length);
        } catch (lang::Exception* e) {
            // A read error loses the picture, nothing more.
            e->release();
            std::free(buffer);
            return nullptr;
        }
        if (got < 1) break;
        length += got;
    }
    return buffer;
}

// A stream over the container item ("+name") or the disk file; null when the item or file does not exist
// or cannot be opened.
lang::Ref<InputStream> openPicture(const lang::String& name) {
    if (name.startsWith("+")) {
        lang::Ref<ResourceItem> item = findItem(name.substring(1));
        if (!item) return nullptr;
        return lang::make<ByteArrayInputStream>(std::move(item));
    }
    const lang::String path = nativePath(name);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
    try {
        return lang::make<FileInputStream>(path);
    } catch (lang::Exception* e) {
        e->release();
        return nullptr;
    }
}

} // namespace

bool Image::load(const lang::String& name) {
    free();
    m_name = name;
    lang::Ref<InputStream> stream = openPicture(name);
    if (!stream) return false;
    int32_t length = 0;
    uint8_t* buffer = readWhole(*stream, length);
    stream->close();
    if (buffer == nullptr) return false;
    const bool ok = decode(buffer, static_cast<size_t>(length));
    std::free(buffer);
    return ok;
}

} // namespace mph
