// morphella-tool: the command-line toolbox for the container, image packs, pictures, scripts and settings.
#include "Tool.h"

#include "runtime/Exception.h"
#include "scores/GameVersion.h"

#include <cstdio>
#include <cstring>
#include <exception>

namespace tool {

namespace {
std::vector<Command>& registry() {
    static std::vector<Command> list;
    return list;
}
} // namespace

Registration::Registration(const char* group, const char* usage, CommandFn run) {
    registry().push_back(Command{group, usage, run});
}

const std::vector<Command>& commands() {
    return registry();
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "morphella-tool: %s\n", message.c_str());
    return kUsage;
}

bool takeOption(Args& args, const std::string& name, std::string& value) {
    for (size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == name) {
            value = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
            return true;
        }
    }
    return false;
}

bool takeFlag(Args& args, const std::string& name) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            args.erase(args.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

} // namespace tool

static void printHelp(FILE* out) {
    std::fprintf(
        out, "usage: morphella-tool COMMAND ...\n       morphella-tool --help | --version\n\ncommands:\n");
    for (const auto& c : tool::commands())
        std::fprintf(out, "%s\n", c.usage);
}

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printHelp(argc < 2 ? stderr : stdout);
        return argc < 2 ? tool::kUsage : tool::kOk;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("morphella-tool %s\n", mph::kGameVersion);
        return tool::kOk;
    }
    for (const auto& c : tool::commands()) {
        if (c.group == std::string(argv[1])) {
            tool::Args args(argv + 2, argv + argc);
            try {
                return c.run(args);
            } catch (lang::Exception* e) {
                const std::string message = e->getMessage().str();
                e->release();
                return tool::usageError(message);
            } catch (const std::exception& e) {
                return tool::usageError(e.what());
            } catch (...) {
                return tool::usageError("unexpected failure");
            }
        }
    }
    tool::usageError(std::string("unknown command '") + argv[1] + "'");
    printHelp(stderr);
    return tool::kUsage;
}
