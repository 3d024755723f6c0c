// RunOptions: reading the program's environment variables.
#include "app/RunOptions.h"

#include <cstdlib>
#include <cstring>

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
    return options;
}

const RunOptions& RunOptions::current() {
    static const RunOptions options = fromEnvironment();
    return options;
}

} // namespace mph
