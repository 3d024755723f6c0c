// AdminCommand: reading the admin command line and running it on SQLite or PostgreSQL.
#include "service/AdminCommand.h"

#include "service/PostgresStore.h"
#include "service/SqliteStore.h"

#include <charconv>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

namespace mph::service {

std::string AdminCommand::nameAsText(const std::string& bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || b == '\\') {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", b);
            out += escape;
        } else if (b < 0x80) {
            out += static_cast<char>(b);
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

namespace {

// A name typed on a terminal (UTF-8) as the game's Latin-1 bytes; bytes that are no such UTF-8 stay as
// they are.
std::string nameFromText(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else if ((b == 0xC2 || b == 0xC3) && i + 1 < text.size() &&
                   (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            out += static_cast<char>(((b & 0x03) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F));
            ++i;
        } else {
            return text;
        }
    }
    return out;
}

} // namespace

int AdminCommand::run(int argc, const char* const* argv, int first, std::string& out) {
    std::string db, postgres;
    std::vector<std::string> words;
    for (int i = first; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if ((arg == "--db" || arg == "--postgres") && i + 1 < argc) {
            (arg == "--db" ? db : postgres) = argv[++i];
        } else if (arg.starts_with("--db=")) {
            db = arg.substr(5);
        } else if (arg.starts_with("--postgres=")) {
            postgres = arg.substr(11);
        } else {
            words.emplace_back(arg);
        }
    }
    auto usage = [](const char* why) {
        std::fprintf(stderr, "morphella-scored admin: %s (see --help)\n", why);
        return 2;
    };
    if (words.empty()) return usage("list, delete, approve, hide or unhide");
    if (!db.empty() && !postgres.empty()) return usage("--db and --postgres exclude each other");
    const std::string& verb = words[0];
    std::vector<int64_t> ids;
    if (verb == "list") {
        if (words.size() != 2 || (words[1] != "S" && words[1] != "N"))
            return usage("list takes a mode, S or N");
    } else if (verb == "delete" || verb == "approve") {
        if (words.size() < 2) return usage("delete and approve take entry ids");
        for (size_t i = 1; i < words.size(); ++i) {
            int64_t id = 0;
            const auto r = std::from_chars(words[i].data(), words[i].data() + words[i].size(), id);
            if (r.ec != std::errc() || r.ptr != words[i].data() + words[i].size() || id <= 0)
                return usage(("not an entry id: " + words[i]).c_str());
            ids.push_back(id);
        }
    } else if (verb == "hide" || verb == "unhide") {
        if (words.size() != 2 || words[1].empty()) return usage("hide and unhide take one name");
    } else {
        return usage(("unknown admin command " + verb).c_str());
    }
    try {
        std::unique_ptr<Store> store;
        if (!postgres.empty())
            store = std::make_unique<PostgresStore>(postgres, 1);
        else
            store = std::make_unique<SqliteStore>(db.empty() ? SqliteStore::defaultPath() : db);
        if (verb == "list") {
            out += "id\trank\tname\tscore\tlevel\tstate\taddress\tcreated\n";
            for (const AdminRow& row : store->list(words[1], 1000000)) {
                out += std::to_string(row.id) + "\t" + std::to_string(row.rank) + "\t" +
                       nameAsText(row.name) + "\t" + std::to_string(row.score) + "\t" +
                       std::to_string(row.level) + "\t" + row.state + (row.hidden ? ",hidden" : "") + "\t" +
                       (row.address.empty() ? "-" : row.address) + "\t" + row.created + "\n";
            }
        } else if (verb == "delete") {
            const int32_t removed = store->remove(ids);
            out += "deleted " + std::to_string(removed) + "\n";
            if (removed < static_cast<int32_t>(ids.size())) {
                std::fprintf(stderr, "morphella-scored admin: %zu of the ids named no entry\n",
                             ids.size() - static_cast<size_t>(removed));
                return 1;
            }
        } else if (verb == "approve") {
            int32_t approved = 0;
            for (const int64_t id : ids)
                approved += store->approve(id) ? 1 : 0;
            out += "approved " + std::to_string(approved) + "\n";
            if (approved < static_cast<int32_t>(ids.size())) {
                std::fprintf(stderr,
                             "morphella-scored admin: %zu of the ids named no entry waiting for review\n",
                             ids.size() - static_cast<size_t>(approved));
                return 1;
            }
        } else {
            const bool changed = store->hide(nameFromText(words[1]), verb == "hide");
            out += std::string(verb == "hide" ? (changed ? "hidden" : "already hidden")
                                              : (changed ? "shown again" : "was not hidden")) +
                   "\n";
        }
    } catch (const StoreError& e) {
        std::fprintf(stderr, "morphella-scored admin: %s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace mph::service
