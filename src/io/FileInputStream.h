// FileInputStream: an input stream over a file on disk, read through the C library's buffered files.
#pragma once

#include "io/InputStream.h"
#include "runtime/String.h"

#include <cstdio>

namespace mph {

class FileInputStream : public InputStream {
    LANG_CLASS(FileInputStream, InputStream)

public:
    // Opens path for binary reading; throws "Error Opening " followed by the path when it cannot.
    explicit FileInputStream(const char* path);
    explicit FileInputStream(const lang::String& path);
    // Opens directory + "\" + name (the separator only when directory lacks one).
    FileInputStream(const lang::String& name, const lang::String& directory);
    FileInputStream(const FileInputStream&) = delete;
    FileInputStream& operator=(const FileInputStream&) = delete;
    ~FileInputStream() override;

    int32_t read(uint8_t* buffer, int32_t offset, int32_t count) override;
    // Throws "File error" when the file reports a read error rather than its end.
    int32_t read() override;
    void close() override;
    void reset() override;
    int32_t skip(int32_t n) override;

    // The size of the file in bytes, or -1 when it is closed or not a regular file.
    int64_t size() const;
    // The path as it was opened, with "/" separators.
    const lang::String& path() const { return m_path; }

private:
    void open(const lang::String& path);

    FILE* m_file = nullptr;
    lang::String m_path;
};

} // namespace mph
