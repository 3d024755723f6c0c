// ThreadErrors: each distinct message once on standard error.
#include "app/ThreadErrors.h"

#include <cstdio>
#include <mutex>
#include <set>

namespace mph {

bool reportThreadException(const char* thread, const std::string& message) {
    static std::mutex lock;
    static std::set<std::string> seen;
    {
        std::lock_guard<std::mutex> guard(lock);
        // A bounded memory: past this many distinct messages, newer ones are still written.
        if (!seen.insert(std::string(thread) + '\n' + message).second) return false;
        if (seen.size() > 1000) seen.clear();
    }
    std::fprintf(stderr, "morphella: %s: %s\n", thread, message.c_str());
    std::fflush(stderr);
    return true;
}

} // namespace mph
