// SettingsStore: the per-user database of named, typed values arranged in keys and sub-keys.
#pragma once

#include "runtime/Object.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace mph {

// Values live in one table of (key path, value name, type, value). The key path is relative to the
// product's key ("" is the product key itself, "audio\fx" a nested sub-key) and names compare without
// regard to ASCII case. A value name holding "\" names a value of a sub-key: the text before the last
// "\" is the sub-key path, the text after it the value name. Every write is its own transaction unless
// it runs inside a Batch, whose writes become visible together or not at all.
class SettingsStore : public lang::Object {
    LANG_CLASS(SettingsStore, Object)

public:
    // Value types, numbered as the registry numbers them.
    enum Type : int32_t { kString = 1, kBinary = 3, kDword = 4 };

    struct Value {
        int32_t type = 0;
        // A dword as its 4 little-endian bytes, a string with its terminating zero, binary as stored.
        std::string bytes;
    };

    struct Entry {
        std::string name; // sub-key path and value name joined with "\"
        Value value;
    };

    SettingsStore() = default;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;
    ~SettingsStore() override;

    // ${XDG_DATA_HOME:-$HOME/.local/share}/quillory/<product in lower case>/settings.db, or "" when
    // there is no home directory to put it in.
    static std::string defaultPath(std::string_view productName);

    // Opens (creating folders and file as needed) the database at path. A database that is damaged
    // or cannot be opened is renamed aside with a time stamp and a fresh one is made; the move is
    // reported on standard error. Returns false when no usable store could be had.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    const std::string& path() const { return m_path; }
    // Where the last damaged database was moved, or "" when none was.
    const std::string& movedAsidePath() const { return m_movedAside; }

    // Reads the value name resolves to. With createKey a missing sub-key on the way is created, as
    // opening a key for access does. False when there is no such value or it cannot be read.
    bool read(std::string_view name, Value& out, bool createKey = true);
    bool writeDword(std::string_view name, int32_t value);
    // Stores text up to its first zero byte as a string value.
    bool writeString(std::string_view name, std::string_view text);
    bool writeBinary(std::string_view name, std::string_view bytes);
    // Deletes the value; when there is no such value, deletes the sub-key of that name instead
    // (with its values, and only when it has no sub-keys of its own). False when nothing was deleted.
    bool remove(std::string_view name);
    // Deletes the value only; false when there was no such value.
    bool removeValue(std::string_view name);
    // Names of the direct sub-keys of the key at path, in enumeration order (ASCII case-blind).
    std::vector<std::string> listSubkeys(std::string_view path = {});
    // Every value of the store, ordered by key path and name.
    std::vector<Entry> listAll();

    // Groups writes into one transaction: commits when the outermost Batch ends, or rolls every
    // write of it back when one of them failed.
    class Batch {
    public:
        explicit Batch(SettingsStore& store);
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        ~Batch();

    private:
        SettingsStore& m_store;
        std::lock_guard<std::recursive_mutex> m_guard;
    };

    // Silences the standard-error notice about a damaged store (for fuzzing).
    static void setQuiet(bool quiet);

private:
    enum class OpenResult { kOk, kDamaged, kBusy, kFailed };

    OpenResult tryOpen(std::string& why);
    bool moveAside();
    bool remove(std::string_view name, bool orKey);
    bool exec(const char* sql);
    sqlite3_stmt* prepare(sqlite3_stmt*& cache, const char* sql);
    bool beginWrite();
    bool endWrite(bool ok);
    bool ensureKey(const std::string& path);
    bool keyExists(const std::string& path);
    bool writeValue(std::string_view name, int32_t type, const void* data, int32_t size, bool isText);
    bool readRow(const std::string& path, const std::string& name, Value& out);
    void finalizeStatements();

    sqlite3* m_db = nullptr;
    std::string m_path;
    std::string m_movedAside;
    std::recursive_mutex m_mutex;
    int32_t m_batchDepth = 0;
    bool m_batchBegun = false;
    bool m_batchFailed = false;

    sqlite3_stmt* m_select = nullptr;
    sqlite3_stmt* m_upsert = nullptr;
    sqlite3_stmt* m_delete = nullptr;
    sqlite3_stmt* m_keyExists = nullptr;
    sqlite3_stmt* m_addKey = nullptr;
};

// Splits a value name into its normalised sub-key path (empty segments dropped) and the value name.
void splitSettingName(std::string_view name, std::string& path, std::string& valueName);

} // namespace mph
