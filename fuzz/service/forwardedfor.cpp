// Fuzz target: arbitrary bytes as an X-Forwarded-For entry and as a log line's request target: the
// address reader accepts only what names an address again the same way, and the log escape leaves only
// printable ASCII.
#include "service/ClientAddress.h"
#include "service/Log.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace mph::service;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ClientAddress address;
    if (ClientAddress::fromText(text, address)) {
        ClientAddress again;
        if (!ClientAddress::fromText(address.text, again) || !(again.key == address.key)) std::abort();
    }
    for (const char c : log::escaped(text))
        if (c <= 0x20 || c >= 0x7F) std::abort();
    return 0;
}
