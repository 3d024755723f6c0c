// BufferedReader: a reader that fetches its source's bytes 1024 at a time.
#pragma once

#include "io/Reader.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

namespace mph {

class BufferedReader : public Reader {
    LANG_CLASS(BufferedReader, Reader)

public:
    static constexpr int32_t kBufferSize = 1024;

    explicit BufferedReader(lang::Ref<Reader> reader) : m_reader(std::move(reader)) {}
    BufferedReader(const BufferedReader&) = delete;
    BufferedReader& operator=(const BufferedReader&) = delete;
    // Closes the source reader before letting it go.
    ~BufferedReader() override;

    using Reader::read;
    void close() override;
    int32_t read(uint8_t* buffer, int32_t offset, int32_t count) override;
    int32_t read() override;
    bool ready() override;
    void reset() override;
    // Moves on by up to n bytes and returns the whole distance moved, buffered bytes included.
    int32_t skip(int32_t n) override;

private:
    // Refills an exhausted buffer; false when the source has nothing more.
    bool fill();

    lang::String m_text; // kept for layout compatibility; no operation uses it
    lang::Ref<Reader> m_reader;
    int32_t m_size = 0;
    int32_t m_position = 0;
    uint8_t m_buffer[kBufferSize];
};

} // namespace mph
