// SqliteHelpers: the small wrappers the SQLite store's files share: errors as StoreError, statements
// reset on every way out of a scope, transactions rolled back unless committed.
#pragma once

#include "service/Store.h"

#include <sqlite3.h>

#include <string>

namespace mph::service::sqlitehelpers {

[[noreturn]] inline void fail(sqlite3* db, const char* what) {
    throw StoreError(std::string("sqlite: ") + what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

inline sqlite3_stmt* prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK)
        fail(db, "prepare");
    return stmt;
}

inline void exec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw StoreError(std::string("sqlite: ") + text);
    }
}

// Resets a statement however the scope is left, so it never holds a read lock afterwards.
class StatementUse {
public:
    explicit StatementUse(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    ~StatementUse() {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

private:
    sqlite3_stmt* m_stmt;
};

// Rolls back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db) : m_db(db) { exec(db, "BEGIN IMMEDIATE"); }
    ~Transaction() {
        if (!m_done) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit() {
        exec(m_db, "COMMIT");
        m_done = true;
    }

private:
    sqlite3* m_db;
    bool m_done = false;
};

inline int userVersion(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr) != SQLITE_OK) fail(db, "prepare");
    const int version = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : 0;
    sqlite3_finalize(stmt);
    return version;
}

inline void bindText(sqlite3_stmt* stmt, int index, const std::string& text) {
    sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

inline void bindBlob(sqlite3_stmt* stmt, int index, const std::string& bytes) {
    sqlite3_bind_blob(stmt, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

} // namespace mph::service::sqlitehelpers
