// RunOptions: reading the program's environment variables.
#include "app/RunOptions.h"

#include "platform/WindowScale.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace mph {

namespace {

int32_t positiveNumber(const char* text) {
    if (text == nullptr || *text == '\0') return 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value <= 0 || value > 0x7FFFFFFF) return 0;
    return static_cast<int32_t>(value);
}

bool flag(const char* text) {
    return text != nullptr && *text != '\0' && std::strcmp(text, "0") != 0;
}

} // namespace

RunOptions RunOptions::fromEnvironment() {
    RunOptions options;
    if (const char* path = std::getenv("MORPHELLA_SNAPSHOT")) options.snapshotPath = lang::String(path);
    options.exitAfterTicks = positiveNumber(std::getenv("MORPHELLA_EXIT_AFTER_TICKS"));
    options.skipLoadingMinimum = flag(std::getenv("MORPHELLA_NO_LOADING_DELAY"));
    options.reportStats = flag(std::getenv("MORPHELLA_STATS"));
    if (const char* size = std::getenv("MORPHELLA_WINDOW_SIZE")) {
        const char* x = std::strchr(size, 'x');
        if (x != nullptr) {
            const std::string width(size, x);
            const int32_t w = positiveNumber(width.c_str());
            const int32_t h = positiveNumber(x + 1);
            if (w > 0 && h > 0 && w <= WindowScale::kLargest && h <= WindowScale::kLargest) {
                options.windowWidth = w;
                options.windowHeight = h;
            }
        }
    }
    return options;
}

const RunOptions& RunOptions::current() {
    static const RunOptions options = fromEnvironment();
    return options;
}

} // namespace mph
