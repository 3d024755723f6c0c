// SqliteStore: the SQLite schema, batched recording transactions and the table query.
#include "service/SqliteStore.h"

#include "service/SqliteHelpers.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <filesystem>

namespace mph::service {

using namespace sqlitehelpers;

namespace {

// Version 3 of the schema; PRAGMA user_version says which version a file holds. Version 1 had no
// "verified" column; opening such a file adds it. Version 3 added the recordings kept with the entries
// they verified (a game verifies one entry: its hash is unique) and the names kept off the tables.
constexpr const char* kSchema = "CREATE TABLE IF NOT EXISTS scores("
                                "id INTEGER PRIMARY KEY AUTOINCREMENT, "
                                "mode TEXT NOT NULL, "
                                "name BLOB NOT NULL, "
                                "score INTEGER NOT NULL, "
                                "level INTEGER NOT NULL, "
                                "nonce INTEGER NOT NULL, "
                                "address TEXT NOT NULL, "
                                "created TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ', 'now')), "
                                "verified INTEGER NOT NULL DEFAULT 0, "
                                "UNIQUE(mode, nonce, name, level, score));"
                                "CREATE INDEX IF NOT EXISTS scores_by_rank ON scores(mode, score DESC, id);"
                                "CREATE TABLE IF NOT EXISTS recordings("
                                "entry_id INTEGER PRIMARY KEY, "
                                "game_hash TEXT NOT NULL UNIQUE, "
                                "human INTEGER NOT NULL, "
                                "reasons TEXT NOT NULL, "
                                "ticks INTEGER NOT NULL, "
                                "bytes BLOB NOT NULL, "
                                "created TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ', 'now')));"
                                "CREATE TABLE IF NOT EXISTS hidden_names(name BLOB PRIMARY KEY);";
constexpr const char* kToVersion2 = "ALTER TABLE scores ADD COLUMN verified INTEGER NOT NULL DEFAULT 0";

constexpr const char* kInsert = "INSERT INTO scores(mode, name, score, level, nonce, address) "
                                "VALUES(?1, ?2, ?3, ?4, ?5, ?6) "
                                "ON CONFLICT(mode, nonce, name, level, score) DO NOTHING";
constexpr const char* kFindExisting =
    "SELECT id FROM scores WHERE mode = ?1 AND nonce = ?2 AND name = ?3 AND level = ?4 AND score = ?5";
constexpr const char* kRank = "SELECT count(*) + 1 FROM scores "
                              "WHERE mode = ?1 AND (score > ?2 OR (score = ?2 AND id < ?3))";
constexpr const char* kTop =
    "SELECT s.name, s.score, s.level, s.verified, s.id, "
    // Kept to the second; entries of the first schema may have no time at all.
    "CASE WHEN length(s.created) >= 19 THEN substr(s.created, 1, 19) || 'Z' ELSE '' END, "
    "s.verified <> 0 AND r.entry_id IS NOT NULL FROM scores s LEFT JOIN recordings r ON r.entry_id = s.id "
    "WHERE s.mode = ?1 AND (?3 = 0 OR s.verified <> 0) "
    "AND s.name NOT IN (SELECT name FROM hidden_names) ORDER BY s.score DESC, s.id LIMIT ?2";
constexpr const char* kRecording =
    "SELECT s.mode, r.game_hash, r.bytes FROM scores s JOIN recordings r ON r.entry_id = s.id "
    "WHERE s.id = ?1 AND s.verified <> 0 AND s.name NOT IN (SELECT name FROM hidden_names)";

std::string columnBytes(sqlite3_stmt* stmt, int column) {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, column));
    return std::string(bytes != nullptr ? bytes : "",
                       static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
}

} // namespace

SqliteStore::SqliteStore(const std::string& path) : m_path(path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    if (ec) throw StoreError("cannot create " + parent.string() + ": " + ec.message());
    m_writer = openConnection(true);
    try {
        exec(m_writer, "PRAGMA journal_mode = WAL");
        Transaction schema(m_writer);
        const int version = userVersion(m_writer);
        exec(m_writer, kSchema);
        if (version == 1) exec(m_writer, kToVersion2);
        exec(m_writer, "PRAGMA user_version = 3");
        schema.commit();
        m_insert = prepare(m_writer, kInsert);
        m_findExisting = prepare(m_writer, kFindExisting);
        m_rank = prepare(m_writer, kRank);
    } catch (...) {
        sqlite3_finalize(m_insert);
        sqlite3_finalize(m_findExisting);
        sqlite3_finalize(m_rank);
        sqlite3_close_v2(m_writer);
        throw;
    }
}

SqliteStore::~SqliteStore() {
    stopWatching();
    for (sqlite3* db : m_idleReaders)
        sqlite3_close_v2(db);
    sqlite3_finalize(m_insert);
    sqlite3_finalize(m_findExisting);
    sqlite3_finalize(m_rank);
    sqlite3_close_v2(m_writer);
}

std::string SqliteStore::defaultPath() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : ".") + "/.local/share";
    }
    return base + "/quillory/morphella/scores.db";
}

sqlite3* SqliteStore::openConnection(bool writer) {
    sqlite3* db = nullptr;
    const int flags =
        (writer ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(m_path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        const std::string message = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close_v2(db);
        throw StoreError("sqlite: cannot open " + m_path + ": " + message);
    }
    // Another process may write the same file; wait for its lock rather than fail at once.
    sqlite3_busy_timeout(db, 5000);
    try {
        // FULL syncs the log at every commit, so an acknowledged submission survives a crash.
        if (writer) exec(db, "PRAGMA synchronous = FULL");
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
    return db;
}

// One submission of a batch and what became of it.
struct SqliteStore::Pending {
    const Submission* submission = nullptr;
    Recorded result;
    std::exception_ptr error;
    bool done = false;
};

Recorded SqliteStore::record(const Submission& s) {
    Pending pending;
    pending.submission = &s;
    std::unique_lock<std::mutex> lock(m_queueMutex);
    m_queue.push_back(&pending);
    while (!pending.done) {
        if (m_writing) {
            m_batchDone.wait(lock);
            continue;
        }
        // No batch is being written: this thread writes everything queued, its own submission included
        // (unless an earlier batch already took it, in which case the loop ends at once).
        m_writing = true;
        std::vector<Pending*> batch;
        batch.swap(m_queue);
        lock.unlock();
        writeBatch(batch);
        lock.lock();
        for (Pending* p : batch)
            p->done = true;
        m_writing = false;
        m_batchDone.notify_all();
    }
    if (pending.error) std::rethrow_exception(pending.error);
    return pending.result;
}

void SqliteStore::writeBatch(const std::vector<Pending*>& batch) {
    if (batch.empty()) return;
    try {
        Transaction transaction(m_writer);
        for (Pending* p : batch)
            recordOne(*p);
        transaction.commit();
    } catch (...) {
        // The transaction rolled back: none of the batch is recorded.
        for (Pending* p : batch)
            p->error = std::current_exception();
    }
}

void SqliteStore::recordOne(Pending& pending) {
    const Submission& s = *pending.submission;
    Recorded& result = pending.result;
    {
        StatementUse use(m_insert);
        bindText(m_insert, 1, s.mode);
        bindBlob(m_insert, 2, s.name);
        sqlite3_bind_int(m_insert, 3, s.score);
        sqlite3_bind_int(m_insert, 4, s.level);
        sqlite3_bind_int(m_insert, 5, s.nonce);
        bindText(m_insert, 6, s.address);
        if (sqlite3_step(m_insert) != SQLITE_DONE) fail(m_writer, "insert");
        result.inserted = sqlite3_changes(m_writer) == 1;
        if (result.inserted) result.id = sqlite3_last_insert_rowid(m_writer);
    }
    if (!result.inserted) {
        StatementUse use(m_findExisting);
        bindText(m_findExisting, 1, s.mode);
        sqlite3_bind_int(m_findExisting, 2, s.nonce);
        bindBlob(m_findExisting, 3, s.name);
        sqlite3_bind_int(m_findExisting, 4, s.level);
        sqlite3_bind_int(m_findExisting, 5, s.score);
        if (sqlite3_step(m_findExisting) != SQLITE_ROW) fail(m_writer, "find the earlier entry");
        result.id = sqlite3_column_int64(m_findExisting, 0);
    }
    StatementUse use(m_rank);
    bindText(m_rank, 1, s.mode);
    sqlite3_bind_int(m_rank, 2, s.score);
    sqlite3_bind_int64(m_rank, 3, result.id);
    if (sqlite3_step(m_rank) != SQLITE_ROW) fail(m_writer, "rank");
    result.rank = sqlite3_column_int(m_rank, 0);
}

sqlite3* SqliteStore::acquireReader() {
    {
        std::lock_guard<std::mutex> guard(m_readersMutex);
        if (!m_idleReaders.empty()) {
            sqlite3* db = m_idleReaders.back();
            m_idleReaders.pop_back();
            return db;
        }
    }
    return openConnection(false);
}

void SqliteStore::releaseReader(sqlite3* db) {
    std::lock_guard<std::mutex> guard(m_readersMutex);
    m_idleReaders.push_back(db);
}

// A reading connection for one query, handed back however the query ends.
class SqliteStore::Reader {
public:
    explicit Reader(SqliteStore& store) : m_store(store), m_db(store.acquireReader()) {}
    ~Reader() { m_store.releaseReader(m_db); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    sqlite3* get() const { return m_db; }

private:
    SqliteStore& m_store;
    sqlite3* m_db;
};

std::vector<ScoreRow> SqliteStore::top(const std::string& mode, int32_t limit, bool verifiedOnly) {
    Reader reader(*this);
    sqlite3* db = reader.get();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(db, kTop, -1, 0, &stmt, nullptr) != SQLITE_OK) fail(db, "prepare");
    std::vector<ScoreRow> rows;
    bindText(stmt, 1, mode);
    sqlite3_bind_int(stmt, 2, limit);
    sqlite3_bind_int(stmt, 3, verifiedOnly ? 1 : 0);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        ScoreRow row;
        row.name = columnBytes(stmt, 0);
        row.score = sqlite3_column_int(stmt, 1);
        row.level = sqlite3_column_int(stmt, 2);
        row.verified = sqlite3_column_int(stmt, 3) != 0;
        row.id = sqlite3_column_int64(stmt, 4);
        row.created = columnBytes(stmt, 5);
        row.replay = sqlite3_column_int(stmt, 6) != 0;
        row.rank = static_cast<int32_t>(rows.size()) + 1;
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) fail(db, "read the table");
    return rows;
}

std::optional<KeptRecording> SqliteStore::recording(int64_t id) {
    Reader reader(*this);
    sqlite3* db = reader.get();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(db, kRecording, -1, 0, &stmt, nullptr) != SQLITE_OK) fail(db, "prepare");
    sqlite3_bind_int64(stmt, 1, id);
    const int rc = sqlite3_step(stmt);
    std::optional<KeptRecording> kept;
    if (rc == SQLITE_ROW)
        kept = KeptRecording{columnBytes(stmt, 0), columnBytes(stmt, 1), columnBytes(stmt, 2)};
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail(db, "read the recording");
    return kept;
}

} // namespace mph::service
