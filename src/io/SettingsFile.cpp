// SettingsStore: opening the database where it belongs, checking it, and moving a damaged one aside.
#include "io/SettingsStore.h"

#include <sqlite3.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mph {

namespace {

std::atomic<bool> g_quiet{false};

constexpr const char* kSchema = "CREATE TABLE IF NOT EXISTS settings("
                                "path TEXT NOT NULL COLLATE NOCASE, "
                                "name TEXT NOT NULL COLLATE NOCASE, "
                                "type INTEGER NOT NULL, "
                                "value, "
                                "PRIMARY KEY(path, name))";

char foldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool mkdirs(const std::string& dir) {
    for (size_t i = 1; i <= dir.size(); ++i) {
        if (i == dir.size() || dir[i] == '/') {
            const std::string part = dir.substr(0, i);
            if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        }
    }
    return true;
}

bool exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace

void SettingsStore::setQuiet(bool quiet) {
    g_quiet = quiet;
}

SettingsStore::~SettingsStore() {
    close();
}

std::string SettingsStore::defaultPath(std::string_view productName) {
    std::string base;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw != nullptr ? pw->pw_dir : nullptr;
        }
        if (home == nullptr || home[0] != '/') return {};
        base = std::string(home) + "/.local/share";
    }
    std::string folder;
    for (char c : productName)
        folder += (c == '/' || c == '\0') ? '_' : foldAscii(c);
    if (folder.empty() || folder == "." || folder == "..") folder = "_" + folder;
    return base + "/quillory/" + folder + "/settings.db";
}

bool SettingsStore::open(const std::string& path) {
    std::lock_guard<std::recursive_mutex> guard(m_mutex);
    close();
    m_path = path;
    m_movedAside.clear();
    if (path.empty()) return false;
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) mkdirs(path.substr(0, slash));

    std::string why;
    OpenResult result = tryOpen(why);
    // Another program in the middle of a long run of writes may hold the store past one busy
    // time-out; a few more tries keep this program from running without its settings.
    for (int attempt = 0; result == OpenResult::kBusy && attempt < 4; ++attempt) {
        close();
        result = tryOpen(why);
    }
    if (result == OpenResult::kDamaged) {
        close();
        if (moveAside()) {
            if (!g_quiet)
                std::fprintf(stderr,
                             "The settings store %s could not be used (%s); it was moved to %s and a new one "
                             "was made.\n",
                             m_path.c_str(), why.c_str(), m_movedAside.c_str());
            result = tryOpen(why);
        }
    }
    if (result != OpenResult::kOk) {
        if (!g_quiet)
            std::fprintf(stderr,
                         "The settings store %s could not be opened (%s); settings will not be kept.\n",
                         m_path.c_str(), why.c_str());
        close();
        return false;
    }
    return true;
}

SettingsStore::OpenResult SettingsStore::tryOpen(std::string& why) {
    const bool existed = exists(m_path);
    // A file that is not a database at all is judged before the database library sees it, since
    // that library would discard side files it cannot make sense of.
    if (existed) {
        char header[20] = {};
        FILE* f = std::fopen(m_path.c_str(), "rb");
        const size_t got = f != nullptr ? std::fread(header, 1, sizeof header, f) : 0;
        if (f != nullptr) std::fclose(f);
        if (f != nullptr && got > 0 && (got < 16 || std::memcmp(header, "SQLite format 3", 16) != 0)) {
            why = "file is not a database";
            return OpenResult::kDamaged;
        }
        // Bytes 18 and 19 are the format versions needed to write and to read the file (1 or 2). Any
        // other value makes the library open the file read-only or not at all, and a store that can
        // never be written is as good as a damaged one.
        const auto version = [](char v) { return v == 1 || v == 2; };
        if (got == sizeof header && (!version(header[18]) || !version(header[19]))) {
            why = "file format version unknown";
            return OpenResult::kDamaged;
        }
    }
    int rc = sqlite3_open_v2(m_path.c_str(), &m_db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        why = sqlite3_errstr(rc);
        return existed ? OpenResult::kDamaged : OpenResult::kFailed;
    }
    // The file belongs to the user but may have been damaged or edited: do not let its schema run
    // anything beyond plain SQL, and never let SQL write to the file outside the page layer.
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_busy_timeout(m_db, 2000);

    // A hot journal left by a crash is rolled back by the first read, before the check. The full check, not
    // the quick one: an index that disagrees with its table passes the quick check, and writes through it
    // then can leave a scan that never ends. The store is a few pages, so the full check costs nothing.
    sqlite3_stmt* check = nullptr;
    rc = sqlite3_prepare_v2(m_db, "PRAGMA integrity_check", -1, &check, nullptr);
    bool healthy = rc == SQLITE_OK;
    std::string verdict;
    while (healthy && (rc = sqlite3_step(check)) == SQLITE_ROW) {
        const char* text = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
        if (verdict.empty() && text != nullptr) verdict = text;
    }
    sqlite3_finalize(check);
    const int err = sqlite3_errcode(m_db);
    if (err == SQLITE_BUSY || err == SQLITE_LOCKED || err == SQLITE_NOMEM || err == SQLITE_IOERR ||
        err == SQLITE_CANTOPEN || err == SQLITE_PERM) {
        // A store another program holds or a failing disk is not damage: leave the file alone.
        if (err != SQLITE_CANTOPEN || !existed) {
            why = sqlite3_errmsg(m_db);
            return err == SQLITE_BUSY || err == SQLITE_LOCKED ? OpenResult::kBusy : OpenResult::kFailed;
        }
    }
    if (!healthy || rc != SQLITE_DONE || verdict != "ok") {
        why = verdict.empty() || verdict == "ok" ? sqlite3_errmsg(m_db) : verdict;
        return OpenResult::kDamaged;
    }
    const char* stage = "journal";
    bool set = exec("PRAGMA journal_mode=DELETE");
    if (set) stage = "sync", set = exec("PRAGMA synchronous=FULL");
    if (set) stage = "schema", set = exec(kSchema);
    if (!set) {
        why = std::string(stage) + ": " + sqlite3_errmsg(m_db);
        const int e = sqlite3_errcode(m_db);
        return e == SQLITE_CORRUPT || e == SQLITE_NOTADB ? OpenResult::kDamaged : OpenResult::kFailed;
    }
    // A table of that name with other columns is not ours to write into.
    sqlite3_stmt* probe = nullptr;
    if (sqlite3_prepare_v2(m_db, "SELECT path, name, type, value FROM settings LIMIT 0", -1, &probe,
                           nullptr) != SQLITE_OK) {
        why = "unexpected table layout";
        sqlite3_finalize(probe);
        return OpenResult::kDamaged;
    }
    sqlite3_finalize(probe);
    return OpenResult::kOk;
}

bool SettingsStore::moveAside() {
    char stamp[32];
    const time_t now = std::time(nullptr);
    tm parts;
    gmtime_r(&now, &parts);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &parts);
    std::string target = m_path + ".damaged-" + stamp;
    for (int n = 2; exists(target); ++n)
        target = m_path + ".damaged-" + stamp + "-" + std::to_string(n);
    if (::rename(m_path.c_str(), target.c_str()) != 0) return false;
    // The side files go with it, under names that keep them paired with the moved database.
    for (const char* side : {"-journal", "-wal", "-shm"}) {
        const std::string from = m_path + side;
        if (exists(from)) ::rename(from.c_str(), (target + side).c_str());
    }
    m_movedAside = target;
    return true;
}

void SettingsStore::finalizeStatements() {
    for (sqlite3_stmt** s : {&m_select, &m_upsert, &m_delete, &m_keyExists, &m_addKey}) {
        sqlite3_finalize(*s);
        *s = nullptr;
    }
}

void SettingsStore::close() {
    std::lock_guard<std::recursive_mutex> guard(m_mutex);
    finalizeStatements();
    if (m_db != nullptr) sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_batchDepth = 0;
    m_batchBegun = false;
    m_batchFailed = false;
}

} // namespace mph
