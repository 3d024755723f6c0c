// morphella-tool settings: lists, reads, writes and deletes the values of the product's settings store.
#include "Tool.h"

#include "io/SettingsStore.h"
#include "runtime/Ref.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using mph::SettingsStore;

const char* typeName(int32_t type) {
    switch (type) {
    case SettingsStore::kDword:
        return "dword";
    case SettingsStore::kString:
        return "string";
    default:
        return "binary";
    }
}

std::string formatValue(const SettingsStore::Value& v) {
    if (v.type == SettingsStore::kDword) {
        uint32_t bits = 0;
        for (size_t i = 4; i-- > 0;)
            bits = (bits << 8) | static_cast<uint8_t>(v.bytes[i]);
        return std::to_string(static_cast<int32_t>(bits));
    }
    if (v.type == SettingsStore::kString) return v.bytes.substr(0, v.bytes.find('\0'));
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (char c : v.bytes) {
        out += hex[static_cast<uint8_t>(c) >> 4];
        out += hex[static_cast<uint8_t>(c) & 15];
    }
    return out;
}

// Accepts the signed and the unsigned spelling of a 32-bit number (-1 and 4294967295 are the same).
bool parseDword(const std::string& text, int32_t& value) {
    if (text.empty() || text.size() > 12) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < INT32_MIN || v > static_cast<long long>(UINT32_MAX)) return false;
    value = static_cast<int32_t>(static_cast<uint32_t>(v));
    return true;
}

int run(const tool::Args& given) {
    tool::Args args = given;
    std::string path;
    if (!tool::takeOption(args, "--store", path)) path = SettingsStore::defaultPath("Morphella");
    const bool dword = tool::takeFlag(args, "--dword");
    if (args.empty()) return tool::usageError("settings: missing subcommand");
    const std::string& verb = args[0];
    const bool shapeOk =
        (verb == "list" && args.size() == 1 && !dword) || (verb == "get" && args.size() == 2 && !dword) ||
        (verb == "set" && args.size() == 3) || (verb == "delete" && args.size() == 2 && !dword);
    if (!shapeOk) return tool::usageError("settings: bad usage; see morphella-tool --help");
    int32_t number = 0;
    if (verb == "set" && dword && !parseDword(args[2], number))
        return tool::usageError("settings: '" + args[2] + "' is not a 32-bit number");

    lang::Ref<SettingsStore> store = lang::make<SettingsStore>();
    if (!store->open(path)) return tool::usageError("settings: cannot open the settings store " + path);

    if (verb == "list") {
        for (const SettingsStore::Entry& e : store->listAll())
            std::printf("%s\t%s\t%s\n", e.name.c_str(), typeName(e.value.type), formatValue(e.value).c_str());
        return tool::kOk;
    }
    if (verb == "get") {
        SettingsStore::Value v;
        if (!store->read(args[1], v, false)) {
            std::fprintf(stderr, "morphella-tool: settings: no value %s\n", args[1].c_str());
            return tool::kMissing;
        }
        std::printf("%s\n", formatValue(v).c_str());
        return tool::kOk;
    }
    if (verb == "delete") {
        if (store->remove(args[1])) return tool::kOk;
        std::fprintf(stderr, "morphella-tool: settings: nothing named %s was deleted\n", args[1].c_str());
        return tool::kMissing;
    }
    const bool written = dword ? store->writeDword(args[1], number) : store->writeString(args[1], args[2]);
    return written ? tool::kOk : tool::usageError("settings: could not write " + args[1]);
}

const tool::Registration registration(
    "settings",
    "settings list [--store FILE]                     every value: NAME, TYPE, VALUE\n"
    "settings get NAME [--store FILE]                 prints a value (exit 1 when missing)\n"
    "settings set NAME VALUE [--store FILE]           stores a string\n"
    "settings set --dword NAME NUMBER [--store FILE]  stores a 32-bit number\n"
    "settings delete NAME [--store FILE]              deletes a value, or a sub-key that has no\n"
    "                                                 sub-keys\n"
    "    --store FILE: the settings database (by default the game's own,\n"
    "    ${XDG_DATA_HOME:-~/.local/share}/quillory/morphella/settings.db)",
    run);

} // namespace
