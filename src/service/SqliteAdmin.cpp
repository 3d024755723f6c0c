// SqliteStore: verification with its recording, the operator's commands, address expiry and the watch
// for changes made by other connections.
#include "service/SqliteHelpers.h"
#include "service/SqliteStore.h"

#include <chrono>

namespace mph::service {

using namespace sqlitehelpers;

namespace {

constexpr auto kWatchEvery = std::chrono::milliseconds(250);

// A connection of its own for a rare write, which waits for the writer's lock when it must.
class OwnConnection {
public:
    explicit OwnConnection(sqlite3* db) : m_db(db) {}
    ~OwnConnection() { sqlite3_close_v2(m_db); }
    OwnConnection(const OwnConnection&) = delete;
    OwnConnection& operator=(const OwnConnection&) = delete;
    sqlite3* get() const { return m_db; }

private:
    sqlite3* m_db;
};

// A statement prepared for one use and finalized however the scope ends.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : m_db(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK) fail(db, "prepare");
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return m_stmt; }
    // SQLITE_ROW or SQLITE_DONE; anything else fails.
    int step(const char* what) {
        const int rc = sqlite3_step(m_stmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail(m_db, what);
        return rc;
    }
    std::string text(int column) const {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
        return std::string(p != nullptr ? p : "", static_cast<size_t>(sqlite3_column_bytes(m_stmt, column)));
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

} // namespace

VerifyResult SqliteStore::verify(const Verification& v) {
    OwnConnection db(openConnection(true));
    Transaction transaction(db.get());
    int64_t entry = 0;
    {
        Statement find(db.get(), "SELECT id FROM scores WHERE mode = ?1 AND nonce = ?2 AND name = ?3 "
                                 "AND level = ?4 AND score = ?5");
        bindText(find.get(), 1, v.mode);
        sqlite3_bind_int(find.get(), 2, v.nonce);
        bindBlob(find.get(), 3, v.name);
        sqlite3_bind_int(find.get(), 4, v.level);
        sqlite3_bind_int(find.get(), 5, v.score);
        if (find.step("find the entry") != SQLITE_ROW) return VerifyResult::NoEntry;
        entry = sqlite3_column_int64(find.get(), 0);
    }
    {
        // The game already kept (with this entry: a repeated upload; with another: a copy) or the entry
        // already holding a game: the first one stays.
        Statement kept(db.get(), "SELECT entry_id, human, game_hash = ?2 FROM recordings "
                                 "WHERE game_hash = ?2 OR entry_id = ?1 ORDER BY game_hash = ?2 DESC");
        sqlite3_bind_int64(kept.get(), 1, entry);
        bindText(kept.get(), 2, v.gameHash);
        if (kept.step("find the recording") == SQLITE_ROW) {
            if (sqlite3_column_int(kept.get(), 2) != 0 && sqlite3_column_int64(kept.get(), 0) != entry)
                return VerifyResult::GameTaken;
            return sqlite3_column_int(kept.get(), 1) != 0 ? VerifyResult::Verified : VerifyResult::Review;
        }
    }
    {
        Statement add(db.get(), "INSERT INTO recordings(entry_id, game_hash, human, reasons, ticks, bytes) "
                                "VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
        sqlite3_bind_int64(add.get(), 1, entry);
        bindText(add.get(), 2, v.gameHash);
        sqlite3_bind_int(add.get(), 3, v.human ? 1 : 0);
        bindText(add.get(), 4, v.reasons);
        sqlite3_bind_int64(add.get(), 5, v.ticks);
        bindBlob(add.get(), 6, v.recording);
        add.step("keep the recording");
    }
    if (v.human) {
        Statement mark(db.get(), "UPDATE scores SET verified = 1 WHERE id = ?1");
        sqlite3_bind_int64(mark.get(), 1, entry);
        mark.step("mark verified");
    }
    transaction.commit();
    return v.human ? VerifyResult::Verified : VerifyResult::Review;
}

std::vector<AdminRow> SqliteStore::list(const std::string& mode, int32_t limit) {
    OwnConnection db(openConnection(false));
    Statement q(db.get(), "SELECT s.id, s.name, s.score, s.level, s.verified, r.human, s.address, s.created, "
                          "s.name IN (SELECT name FROM hidden_names) FROM scores s "
                          "LEFT JOIN recordings r ON r.entry_id = s.id WHERE s.mode = ?1 "
                          "ORDER BY s.score DESC, s.id LIMIT ?2");
    bindText(q.get(), 1, mode);
    sqlite3_bind_int(q.get(), 2, limit);
    std::vector<AdminRow> rows;
    while (q.step("list") == SQLITE_ROW) {
        AdminRow row;
        row.id = sqlite3_column_int64(q.get(), 0);
        row.rank = static_cast<int32_t>(rows.size()) + 1;
        row.name = q.text(1);
        row.score = sqlite3_column_int(q.get(), 2);
        row.level = sqlite3_column_int(q.get(), 3);
        const bool review =
            sqlite3_column_type(q.get(), 5) != SQLITE_NULL && sqlite3_column_int(q.get(), 5) == 0;
        row.state = sqlite3_column_int(q.get(), 4) != 0 ? "verified" : review ? "review" : "-";
        row.address = q.text(6);
        row.created = q.text(7);
        row.hidden = sqlite3_column_int(q.get(), 8) != 0;
        rows.push_back(std::move(row));
    }
    return rows;
}

int32_t SqliteStore::remove(const std::vector<int64_t>& ids) {
    OwnConnection db(openConnection(true));
    Transaction transaction(db.get());
    int32_t removed = 0;
    for (const int64_t id : ids) {
        Statement recording(db.get(), "DELETE FROM recordings WHERE entry_id = ?1");
        sqlite3_bind_int64(recording.get(), 1, id);
        recording.step("delete");
        Statement entry(db.get(), "DELETE FROM scores WHERE id = ?1");
        sqlite3_bind_int64(entry.get(), 1, id);
        entry.step("delete");
        removed += sqlite3_changes(db.get());
    }
    transaction.commit();
    return removed;
}

bool SqliteStore::approve(int64_t id) {
    OwnConnection db(openConnection(true));
    Statement q(db.get(), "UPDATE scores SET verified = 1 WHERE id = ?1 AND verified = 0 AND id IN "
                          "(SELECT entry_id FROM recordings WHERE human = 0)");
    sqlite3_bind_int64(q.get(), 1, id);
    q.step("approve");
    return sqlite3_changes(db.get()) > 0;
}

bool SqliteStore::hide(const std::string& name, bool hidden) {
    OwnConnection db(openConnection(true));
    Statement q(db.get(), hidden ? "INSERT OR IGNORE INTO hidden_names(name) VALUES(?1)"
                                 : "DELETE FROM hidden_names WHERE name = ?1");
    bindBlob(q.get(), 1, name);
    q.step("hide");
    return sqlite3_changes(db.get()) > 0;
}

int32_t SqliteStore::forgetAddresses(int32_t days) {
    OwnConnection db(openConnection(true));
    Statement q(db.get(), "UPDATE scores SET address = '' WHERE address <> '' AND created < "
                          "strftime('%Y-%m-%dT%H:%M:%fZ', 'now', printf('%+d days', -?1))");
    sqlite3_bind_int(q.get(), 1, days);
    q.step("forget addresses");
    return sqlite3_changes(db.get());
}

bool SqliteStore::reachable() {
    try {
        sqlite3* db = acquireReader();
        struct Lease {
            SqliteStore* store;
            sqlite3* db;
            ~Lease() { store->releaseReader(db); }
        } lease{this, db};
        Statement q(db, "SELECT count(*) FROM scores");
        return q.step("reach") == SQLITE_ROW;
    } catch (const StoreError&) {
        return false;
    }
}

void SqliteStore::watch(std::function<void(const std::string& mode)> changed) {
    stopWatching();
    m_watchStop = false;
    sqlite3* db = openConnection(false);
    m_watcher = std::thread([this, db, changed = std::move(changed)] {
        auto version = [db] {
            Statement q(db, "PRAGMA data_version");
            return q.step("data version") == SQLITE_ROW ? sqlite3_column_int64(q.get(), 0) : 0;
        };
        int64_t seen = -1;
        std::unique_lock<std::mutex> lock(m_watchMutex);
        do {
            try {
                const int64_t now = version();
                if (seen >= 0 && now != seen) changed("");
                seen = now;
            } catch (const StoreError&) {
                // Looked at again at the next turn.
            }
        } while (!m_watchWake.wait_for(lock, kWatchEvery, [this] { return m_watchStop; }));
        sqlite3_close_v2(db);
    });
}

void SqliteStore::stopWatching() {
    {
        std::lock_guard<std::mutex> guard(m_watchMutex);
        m_watchStop = true;
    }
    m_watchWake.notify_all();
    if (m_watcher.joinable()) m_watcher.join();
}

} // namespace mph::service
