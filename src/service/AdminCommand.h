// AdminCommand: `morphella-scored admin …`, the operator's commands on the store a service uses.
#pragma once

#include <string>

namespace mph::service {

class AdminCommand {
public:
    // Runs argv[first..] (the words after "admin"); the exit status (0, 1 for a store failure, 2 for a
    // bad command line). Output on out, messages on standard error.
    static int run(int argc, const char* const* argv, int first, std::string& out);
    // A name's Latin-1 bytes as UTF-8 text, control bytes as \xNN, so a terminal shows it as the game does.
    static std::string nameAsText(const std::string& bytes);
};

} // namespace mph::service
