// InputStreamReader: a reader that passes a stream's bytes through unchanged.
#pragma once

#include "io/InputStream.h"
#include "io/Reader.h"
#include "runtime/Ref.h"

namespace mph {

class InputStreamReader : public Reader {
    LANG_CLASS(InputStreamReader, Reader)

public:
    explicit InputStreamReader(lang::Ref<InputStream> stream) : m_stream(std::move(stream)) {}
    InputStreamReader(const InputStreamReader&) = delete;
    InputStreamReader& operator=(const InputStreamReader&) = delete;
    // Closes the stream before letting it go.
    ~InputStreamReader() override;

    using Reader::read;
    void close() override;
    int32_t read(uint8_t* buffer, int32_t offset, int32_t count) override;
    int32_t read() override;
    bool ready() override { return true; }
    void reset() override;
    int32_t skip(int32_t n) override;

private:
    lang::Ref<InputStream> m_stream;
};

} // namespace mph
