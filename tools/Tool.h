// The command registry of morphella-tool: each command group registers itself with a static record.
#pragma once

#include <string>
#include <vector>

namespace tool {

// Exit statuses every command keeps.
inline constexpr int kOk = 0;
inline constexpr int kMissing = 1; // the item or value asked for does not exist
inline constexpr int kUsage = 2;   // bad usage or unreadable input

using Args = std::vector<std::string>;
using CommandFn = int (*)(const Args& args);

struct Command {
    const char* group; // first word on the command line, e.g. "container"
    const char* usage; // lines for --help, each starting with the group
    CommandFn run;     // receives the words after the group
};

// Registers a group; construct one static instance per group.
struct Registration {
    Registration(const char* group, const char* usage, CommandFn run);
};

const std::vector<Command>& commands();

// Prints "morphella-tool: MESSAGE" on standard error and returns kUsage.
int usageError(const std::string& message);

// Removes "--name VALUE" from args; returns true and sets value when it was there.
bool takeOption(Args& args, const std::string& name, std::string& value);
// Removes "--name" from args; returns whether it was there.
bool takeFlag(Args& args, const std::string& name);

} // namespace tool
