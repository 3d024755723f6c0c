// FileInputStream: opening, reading, seeking and closing a disk file.
#include "io/FileInputStream.h"

#include "io/Path.h"
#include "runtime/Exception.h"

#include <sys/stat.h>

using namespace lang;

namespace mph {

FileInputStream::FileInputStream(const char* path) { open(String(path)); }

FileInputStream::FileInputStream(const String& path) { open(path); }

FileInputStream::FileInputStream(const String& name, const String& directory) { open(joinPath(directory, name)); }

FileInputStream::~FileInputStream() { close(); }

void FileInputStream::open(const String& path) {
    m_path = nativePath(path);
    m_file = std::fopen(m_path.c_str(), "rb");
    // The C library opens a directory for reading here, but nothing can be read from it; treat it as missing.
    struct stat info {};
    if (m_file != nullptr && (fstat(fileno(m_file), &info) != 0 || S_ISDIR(info.st_mode))) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (m_file == nullptr) throwException(String("Error Opening ") + m_path);
}

int32_t FileInputStream::read(uint8_t* buffer, int32_t offset, int32_t count) {
    if (m_file == nullptr || buffer == nullptr || count <= 0 || offset < 0) return 0;
    const size_t got = std::fread(buffer + offset, 1, static_cast<size_t>(count), m_file);
    if (got == 0 && std::ferror(m_file)) return -1;
    return static_cast<int32_t>(got);
}

int32_t FileInputStream::read() {
    if (m_file == nullptr) return -1;
    const int c = std::fgetc(m_file);
    if (c == EOF) {
        if (std::ferror(m_file)) throwException("File error");
        return -1;
    }
    return c;
}

void FileInputStream::close() {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

void FileInputStream::reset() {
    if (m_file != nullptr) std::fseek(m_file, 0, SEEK_SET);
}

int32_t FileInputStream::skip(int32_t n) {
    if (m_file == nullptr) return 0;
    const long before = std::ftell(m_file);
    std::fseek(m_file, n, SEEK_CUR);
    const long after = std::ftell(m_file);
    if (before < 0 || after < 0) return 0;
    return static_cast<int32_t>(after - before);
}

int64_t FileInputStream::size() const {
    struct stat info {};
    if (m_file == nullptr || fstat(fileno(m_file), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return static_cast<int64_t>(info.st_size);
}

} // namespace mph
