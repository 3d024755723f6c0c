// SettingsStore: the per-user database of named, typed values arranged in keys and sub-keys: reading,
// writing and listing them.
#include "io/SettingsStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace mph {

namespace {

// The marker row that records that a key exists. No value name can hold "\", so it never collides.
constexpr const char* kKeyMarker = "\\";
constexpr int32_t kKeyType = 0;

// SQLite's NOCASE folds ASCII letters only; the key helpers below fold the same way.
char foldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool sameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

// True when path lies strictly below parent ("" is the parent of everything else).
bool isBelow(std::string_view path, std::string_view parent) {
    if (parent.empty()) return !path.empty();
    return path.size() > parent.size() && path[parent.size()] == '\\' &&
           sameNoCase(path.substr(0, parent.size()), parent);
}

} // namespace

void splitSettingName(std::string_view name, std::string& path, std::string& valueName) {
    const size_t slash = name.rfind('\\');
    path.clear();
    if (slash == std::string_view::npos) {
        valueName.assign(name);
        return;
    }
    valueName.assign(name.substr(slash + 1));
    // Empty segments ("a\\b", a leading "\") name the same key as without them.
    size_t start = 0;
    while (start < slash) {
        size_t end = name.find('\\', start);
        if (end == std::string_view::npos || end > slash) end = slash;
        if (end > start) {
            if (!path.empty()) path += '\\';
            path.append(name.substr(start, end - start));
        }
        start = end + 1;
    }
}

bool SettingsStore::exec(const char* sql) {
    return m_db != nullptr && sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

sqlite3_stmt* SettingsStore::prepare(sqlite3_stmt*& cache, const char* sql) {
    if (cache == nullptr &&
        sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &cache, nullptr) != SQLITE_OK) {
        sqlite3_finalize(cache);
        cache = nullptr;
    }
    if (cache != nullptr) {
        sqlite3_reset(cache);
        sqlite3_clear_bindings(cache);
    }
    return cache;
}

bool SettingsStore::beginWrite() {
    if (m_db == nullptr) return false;
    if (m_batchDepth > 0) return !m_batchFailed;
    return exec("BEGIN IMMEDIATE");
}

bool SettingsStore::endWrite(bool ok) {
    if (m_batchDepth > 0) {
        if (!ok) m_batchFailed = true;
        return ok;
    }
    if (ok && exec("COMMIT")) return true;
    exec("ROLLBACK");
    return false;
}

SettingsStore::Batch::Batch(SettingsStore& store) : m_store(store), m_guard(store.m_mutex) {
    if (m_store.m_db == nullptr || m_store.m_batchDepth++ > 0) return;
    m_store.m_batchBegun = m_store.exec("BEGIN IMMEDIATE");
    m_store.m_batchFailed = !m_store.m_batchBegun;
}

SettingsStore::Batch::~Batch() {
    if (m_store.m_db == nullptr || m_store.m_batchDepth == 0 || --m_store.m_batchDepth > 0) return;
    const bool ok = m_store.m_batchBegun && !m_store.m_batchFailed && m_store.exec("COMMIT");
    if (!ok && sqlite3_get_autocommit(m_store.m_db) == 0) m_store.exec("ROLLBACK");
    m_store.m_batchBegun = false;
    m_store.m_batchFailed = false;
}

bool SettingsStore::keyExists(const std::string& path) {
    sqlite3_stmt* s = prepare(m_keyExists, "SELECT 1 FROM settings WHERE path = ?1 LIMIT 1");
    if (s == nullptr) return false;
    sqlite3_bind_text(s, 1, path.data(), static_cast<int>(path.size()), SQLITE_TRANSIENT);
    const bool found = sqlite3_step(s) == SQLITE_ROW;
    sqlite3_reset(s);
    return found;
}

bool SettingsStore::ensureKey(const std::string& path) {
    // Creating a nested key creates every key on the way to it.
    for (size_t end = 0; end != std::string::npos;) {
        end = path.find('\\', end + 1);
        const std::string prefix = path.substr(0, end);
        sqlite3_stmt* s = prepare(
            m_addKey, "INSERT OR IGNORE INTO settings(path, name, type, value) VALUES(?1, ?2, ?3, NULL)");
        if (s == nullptr) return false;
        sqlite3_bind_text(s, 1, prefix.data(), static_cast<int>(prefix.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, kKeyMarker, -1, SQLITE_STATIC);
        sqlite3_bind_int(s, 3, kKeyType);
        const int rc = sqlite3_step(s);
        sqlite3_reset(s);
        if (rc != SQLITE_DONE) return false;
    }
    return true;
}

bool SettingsStore::readRow(const std::string& path, const std::string& name, Value& out) {
    sqlite3_stmt* s = prepare(m_select, "SELECT type, value FROM settings WHERE path = ?1 AND name = ?2");
    if (s == nullptr) return false;
    sqlite3_bind_text(s, 1, path.data(), static_cast<int>(path.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 2, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    bool ok = false;
    if (sqlite3_step(s) == SQLITE_ROW) {
        const int64_t type = sqlite3_column_int64(s, 0);
        const int column = sqlite3_column_type(s, 1);
        if (type == kDword && column == SQLITE_INTEGER) {
            // Stored signed; an unsigned 32-bit number written by another tool reads the same bits.
            const int64_t v = sqlite3_column_int64(s, 1);
            if (v >= INT32_MIN && v <= int64_t{UINT32_MAX}) {
                const uint32_t bits = static_cast<uint32_t>(v);
                out.bytes.assign({static_cast<char>(bits & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
                                  static_cast<char>((bits >> 16) & 0xFF), static_cast<char>(bits >> 24)});
                ok = true;
            }
        } else if ((type == kString && column == SQLITE_TEXT) || (type == kBinary && column == SQLITE_BLOB)) {
            const void* data = type == kString ? static_cast<const void*>(sqlite3_column_text(s, 1))
                                               : sqlite3_column_blob(s, 1);
            const int size = sqlite3_column_bytes(s, 1);
            out.bytes.assign(static_cast<const char*>(data) != nullptr ? static_cast<const char*>(data) : "",
                             data != nullptr ? static_cast<size_t>(size) : 0);
            if (type == kString) out.bytes += '\0';
            ok = true;
        } else if (type == kBinary && column == SQLITE_NULL) {
            out.bytes.clear();
            ok = true;
        }
        if (ok) out.type = static_cast<int32_t>(type);
    }
    sqlite3_reset(s);
    return ok;
}

bool SettingsStore::read(std::string_view name, Value& out, bool createKey) {
    std::lock_guard<std::recursive_mutex> guard(m_mutex);
    if (m_db == nullptr) return false;
    std::string path, valueName;
    splitSettingName(name, path, valueName);
    if (createKey && !path.empty() && !keyExists(path)) {
        const bool began = beginWrite();
        endWrite(began && ensureKey(path));
    }
    return readRow(path, valueName, out);
}

bool SettingsStore::writeValue(std::string_view name, int32_t type, const void* data, int32_t size,
                               bool isText) {
    std::lock_guard<std::recursive_mutex> guard(m_mutex);
    std::string path, valueName;
    splitSettingName(name, path, valueName);
    if (!beginWrite()) return false;
    bool ok = path.empty() || ensureKey(path);
    sqlite3_stmt* s =
        ok ? prepare(m_upsert,
                     "INSERT INTO settings(path, name, type, value) VALUES(?1, ?2, ?3, ?4) "
                     "ON CONFLICT(path, name) DO UPDATE SET type = excluded.type, value = excluded.value")
           : nullptr;
    if (s != nullptr) {
        sqlite3_bind_text(s, 1, path.data(), static_cast<int>(path.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, valueName.data(), static_cast<int>(valueName.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(s, 3, type);
        if (type == kDword)
            sqlite3_bind_int(s, 4, *static_cast<const int32_t*>(data));
        else if (isText)
            sqlite3_bind_text(s, 4, static_cast<const char*>(data), size, SQLITE_TRANSIENT);
        else
            sqlite3_bind_blob(s, 4, size > 0 ? data : "", size, SQLITE_TRANSIENT);
        ok = sqlite3_step(s) == SQLITE_DONE;
        sqlite3_reset(s);
    } else {
        ok = false;
    }
    return endWrite(ok);
}

bool SettingsStore::writeDword(std::string_view name, int32_t value) {
    return writeValue(name, kDword, &value, 4, false);
}

bool SettingsStore::writeString(std::string_view name, std::string_view text) {
    text = text.substr(0, text.find('\0'));
    if (text.size() > INT32_MAX / 2) return false;
    return writeValue(name, kString, text.data(), static_cast<int32_t>(text.size()), true);
}

bool SettingsStore::writeBinary(std::string_view name, std::string_view bytes) {
    if (bytes.size() > INT32_MAX / 2) return false;
    return writeValue(name, kBinary, bytes.data(), static_cast<int32_t>(bytes.size()), false);
}

bool SettingsStore::removeValue(std::string_view name) {
    return remove(name, false);
}

bool SettingsStore::remove(std::string_view name) {
    return remove(name, true);
}

bool SettingsStore::remove(std::string_view name, bool orKey) {
    std::lock_guard<std::recursive_mutex> guard(m_mutex);
    std::string path, valueName;
    splitSettingName(name, path, valueName);
    if (!beginWrite()) return false;
    sqlite3_stmt* s = prepare(m_delete, "DELETE FROM settings WHERE path = ?1 AND name = ?2 AND type <> 0");
    // ok: the statements ran; deleted: something went. Finding nothing is no failure of a batch.
    bool ok = s != nullptr;
    bool deleted = false;
    if (ok) {
        sqlite3_bind_text(s, 1, path.data(), static_cast<int>(path.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, valueName.data(), static_cast<int>(valueName.size()), SQLITE_TRANSIENT);
        ok = sqlite3_step(s) == SQLITE_DONE;
        deleted = ok && sqlite3_changes(m_db) > 0;
        sqlite3_reset(s);
    }
    if (ok && !deleted && orKey && !valueName.empty()) {
        // No such value: the name may be a sub-key, which goes only when it has no sub-keys of its own.
        const std::string key = path.empty() ? valueName : path + "\\" + valueName;
        sqlite3_stmt* del = nullptr;
        if (listSubkeys(key).empty()) {
            ok = sqlite3_prepare_v2(m_db, "DELETE FROM settings WHERE path = ?1", -1, &del, nullptr) ==
                 SQLITE_OK;
            if (ok) {
                sqlite3_bind_text(del, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
                ok = sqlite3_step(del) == SQLITE_DONE;
                deleted = ok && sqlite3_changes(m_db) > 0;
            }
        }
        sqlite3_finalize(del);
    }
    return endWrite(ok) && deleted;
}

std::vector<std::string> SettingsStore::listSubkeys(std::string_view parent) {
    std::lock_guard<std::recursive_mutex> guard(m_mutex);
    std::vector<std::string> names;
    sqlite3_stmt* s = nullptr;
    if (m_db == nullptr || sqlite3_prepare_v2(m_db, "SELECT DISTINCT path FROM settings ORDER BY path", -1,
                                              &s, nullptr) != SQLITE_OK) {
        sqlite3_finalize(s);
        return names;
    }
    const size_t skip = parent.empty() ? 0 : parent.size() + 1;
    while (sqlite3_step(s) == SQLITE_ROW) {
        const char* text = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        const std::string_view path(text != nullptr ? text : "",
                                    static_cast<size_t>(sqlite3_column_bytes(s, 0)));
        if (!isBelow(path, parent)) continue;
        const std::string_view child = path.substr(skip, path.find('\\', skip) - skip);
        if (!child.empty()) names.emplace_back(child);
    }
    sqlite3_finalize(s);
    // One name per sub-key, in the case-blind order the keys are enumerated in.
    const auto less = [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) { return foldAscii(x) < foldAscii(y); });
    };
    std::stable_sort(names.begin(), names.end(), less);
    names.erase(std::unique(names.begin(), names.end(),
                            [](const std::string& a, const std::string& b) { return sameNoCase(a, b); }),
                names.end());
    return names;
}

std::vector<SettingsStore::Entry> SettingsStore::listAll() {
    std::lock_guard<std::recursive_mutex> guard(m_mutex);
    std::vector<Entry> entries;
    sqlite3_stmt* s = nullptr;
    if (m_db == nullptr ||
        sqlite3_prepare_v2(m_db, "SELECT path, name FROM settings WHERE type <> 0 ORDER BY path, name", -1,
                           &s, nullptr) != SQLITE_OK) {
        sqlite3_finalize(s);
        return entries;
    }
    while (sqlite3_step(s) == SQLITE_ROW) {
        const char* path = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        const char* name = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
        Entry e;
        const std::string p(path != nullptr ? path : "", static_cast<size_t>(sqlite3_column_bytes(s, 0)));
        const std::string n(name != nullptr ? name : "", static_cast<size_t>(sqlite3_column_bytes(s, 1)));
        if (!readRow(p, n, e.value)) continue;
        e.name = p.empty() ? n : p + "\\" + n;
        entries.push_back(std::move(e));
    }
    sqlite3_finalize(s);
    return entries;
}

} // namespace mph
