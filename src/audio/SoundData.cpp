// Reading the bytes of a sound from a disk file or from an item of the resource container.
#include "audio/SoundData.h"

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

std::string soundFilePath(const String& name) {
    std::string path = name.str();
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

bool readSoundData(const String& name, std::vector<uint8_t>& out) {
    out.clear();
    if (name.isEmpty()) return false;
    if (name.charAt(0) == '+') {
        // FIXME: container items load once the resource container is available to this library.
        return false;
    }
    return readFile(soundFilePath(name), out);
}

} // namespace mph
