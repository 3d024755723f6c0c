// Whole-file reading and crash-safe whole-file writing for the tools that build data files.
#include "io/FileWriter.h"

#include "io/FileInputStream.h"
#include "io/Path.h"
#include "runtime/Exception.h"
#include "runtime/Ref.h"

#include <cstdio>
#include <unistd.h>

using namespace lang;

namespace mph {

void writeFileAtomically(const String& path, const std::vector<uint8_t>& bytes) {
    const String target = nativePath(path);
    const String temporary = target + ".tmp" + static_cast<int32_t>(getpid());
    FILE* file = std::fopen(temporary.c_str(), "wb");
    bool ok = file != nullptr;
    if (ok && !bytes.empty()) ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (ok) ok = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    if (file != nullptr && std::fclose(file) != 0) ok = false;
    if (ok) ok = std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        std::remove(temporary.c_str());
        throwException(String("Error Writing ") + target);
    }
}

std::vector<uint8_t> readWholeFile(const String& path) {
    auto stream = make<FileInputStream>(path);
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    for (;;) {
        const int32_t got = stream->read(chunk, 0, static_cast<int32_t>(sizeof chunk));
        if (got < 0) throwException(String("Error Reading ") + stream->path());
        if (got == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
}

} // namespace mph
