// Reading the bytes of a sound from a disk file or from an item of the resource container.
#include "audio/SoundData.h"

#include "io/Path.h"
#include "io/Resources.h"

#include <cstdio>
#include <memory>

using namespace lang;

namespace mph {

namespace {

bool readFile(const std::string& path, std::vector<uint8_t>& out) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return false;
    // Read in blocks rather than trusting a size taken beforehand: the file may be a pipe or may change.
    uint8_t block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) {
        if (out.size() + got > kMaxSoundBytes) {
            out.clear();
            return false;
        }
        out.insert(out.end(), block, block + got);
    }
    if (std::ferror(file.get())) {
        out.clear();
        return false;
    }
    return !out.empty();
}

} // namespace

bool readSoundData(const String& name, std::vector<uint8_t>& out) {
    out.clear();
    if (name.isEmpty()) return false;
    if (name.charAt(0) == '+') {
        // A private copy: the clip decides how long the bytes must live, not the container.
        lang::Ref<ResourceItem> item = findItem(name.substring(1));
        if (!item || item->getLength() <= 0 || item->getData() == nullptr) return false;
        if (uint64_t(item->getLength()) > kMaxSoundBytes) return false;
        out.assign(item->getData(), item->getData() + item->getLength());
        return true;
    }
    return readFile(nativePath(name).str(), out);
}

} // namespace mph
