// Fuzzes the image pack record reader over arbitrary bytes held in memory.
#include "io/ByteArrayInputStream.h"
#include "io/ImagePackReader.h"

#include <cstdint>
#include <cstdlib>

using namespace lang;
using namespace mph;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ImagePackReader reader(make<ByteArrayInputStream>(data, static_cast<int32_t>(size)));
    ImagePackReader::Record record;
    size_t total = 0;
    while (reader.next(record)) {
        // A record can never hold more bytes than the input did.
        total += record.data.size();
        if (total > size) std::abort();
    }
    return 0;
}
