// PostgresStore: the PostgreSQL schema, prepared statements and a small pool of libpq connections.
#include "service/PostgresStore.h"

#include "service/PostgresLease.h"

#include <arpa/inet.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <poll.h>

namespace mph::service {

using pgsupport::kChannel;

namespace {

// Version 3 of the schema (version 1 had no "verified" column, version 2 no recordings and hidden names). The
// advisory lock keeps instances starting together from racing on it.
constexpr const char* kSchema = "BEGIN;"
                                "SELECT pg_advisory_xact_lock(7311543826);"
                                "CREATE TABLE IF NOT EXISTS scores("
                                "id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, "
                                "mode TEXT NOT NULL, "
                                "name BYTEA NOT NULL, "
                                "score INTEGER NOT NULL, "
                                "level INTEGER NOT NULL, "
                                "nonce INTEGER NOT NULL, "
                                "address TEXT NOT NULL, "
                                "created TIMESTAMPTZ NOT NULL DEFAULT now(), "
                                "UNIQUE(mode, nonce, name, level, score));"
                                "CREATE INDEX IF NOT EXISTS scores_by_rank ON scores(mode, score DESC, id);"
                                // Checked first, so a table that has the column is not locked by an ALTER.
                                "DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM information_schema.columns "
                                "WHERE table_schema = current_schema() AND table_name = 'scores' "
                                "AND column_name = 'verified') THEN "
                                "ALTER TABLE scores ADD COLUMN verified BOOLEAN NOT NULL DEFAULT false; "
                                "END IF; END $$;"
                                "CREATE TABLE IF NOT EXISTS recordings("
                                "entry_id BIGINT PRIMARY KEY REFERENCES scores(id) ON DELETE CASCADE, "
                                "game_hash TEXT NOT NULL UNIQUE, "
                                "human BOOLEAN NOT NULL, "
                                "reasons TEXT NOT NULL, "
                                "ticks BIGINT NOT NULL, "
                                "bytes BYTEA NOT NULL, "
                                "created TIMESTAMPTZ NOT NULL DEFAULT now());"
                                "CREATE TABLE IF NOT EXISTS hidden_names(name BYTEA PRIMARY KEY);"
                                "COMMIT;";

// The insert and the look-up of an earlier identical entry in one statement. Both read the snapshot
// taken at its start, so they never both give a row; when a concurrent identical insert commits
// meanwhile, neither does, and the caller runs the statement again.
constexpr const char* kRecord =
    "WITH added AS (INSERT INTO scores(mode, name, score, level, nonce, address) "
    "VALUES($1, $2, $3, $4, $5, $6) ON CONFLICT (mode, nonce, name, level, score) DO NOTHING RETURNING id) "
    "SELECT id, 1 FROM added UNION ALL "
    "SELECT id, 0 FROM scores WHERE mode = $1 AND nonce = $5 AND name = $2 AND level = $4 AND score = $3";
constexpr const char* kRank = "SELECT count(*) + 1 FROM scores "
                              "WHERE mode = $1 AND (score > $2 OR (score = $2 AND id < $3))";
constexpr const char* kTop =
    "SELECT s.name, s.score, s.level, s.verified, s.id, "
    "to_char(s.created AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"'), "
    "s.verified AND r.entry_id IS NOT NULL FROM scores s LEFT JOIN recordings r ON r.entry_id = s.id "
    "WHERE s.mode = $1 AND (NOT $3 OR s.verified) AND s.name NOT IN (SELECT name FROM hidden_names) "
    "ORDER BY s.score DESC, s.id LIMIT $2";

constexpr Oid kText = 25, kBytea = 17, kInt4 = 23, kInt8 = 20, kBool = 16;

void prepare(pg_conn* conn, const char* name, const char* sql, int count, const Oid* types) {
    Result r(PQprepare(conn, name, sql, count, types));
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) fail(conn, "prepare");
}

int64_t readInt8(const PGresult* r, int row, int column) {
    uint32_t half[2] = {0, 0};
    if (PQgetlength(r, row, column) == 8) std::memcpy(half, PQgetvalue(r, row, column), 8);
    return static_cast<int64_t>(static_cast<uint64_t>(ntohl(half[0])) << 32 | ntohl(half[1]));
}

bool readBool(const PGresult* r, int row, int column) {
    return PQgetlength(r, row, column) == 1 && PQgetvalue(r, row, column)[0] != 0;
}

int32_t readInt4(const PGresult* r, int row, int column) {
    uint32_t v = 0;
    if (PQgetlength(r, row, column) == 4) std::memcpy(&v, PQgetvalue(r, row, column), 4);
    return static_cast<int32_t>(ntohl(v));
}

} // namespace

PostgresStore::PostgresStore(const std::string& conninfo, size_t maxConnections)
    : PostgresStore(conninfo, maxConnections, Limits()) {}

PostgresStore::PostgresStore(const std::string& conninfo, size_t maxConnections, const Limits& limits)
    : m_conninfo(conninfo), m_maxConnections(maxConnections < 1 ? 1 : maxConnections), m_limits(limits) {
    m_idle.push_back(connect());
    m_open = 1;
}

PostgresStore::~PostgresStore() {
    stopWatching();
    for (pg_conn* conn : m_idle)
        PQfinish(conn);
}

pg_conn* PostgresStore::connect() {
    // A server that does not answer must not hold the caller for ever: a connect time-out unless the
    // connection string sets its own (later keywords win, and the string is expanded after this one).
    const std::string timeout = std::to_string(m_limits.connectSeconds);
    const char* keywords[] = {"connect_timeout", "dbname", nullptr};
    const char* values[] = {timeout.c_str(), m_conninfo.c_str(), nullptr};
    pg_conn* conn = PQconnectdbParams(keywords, values, 1);
    if (PQstatus(conn) != CONNECTION_OK) {
        std::string message = PQerrorMessage(conn);
        PQfinish(conn);
        while (!message.empty() && message.back() == '\n')
            message.pop_back();
        throw StoreError("postgres: cannot connect: " + message);
    }
    try {
        // A statement that hangs (a lock held elsewhere) fails the request instead.
        const std::string settings = "SET statement_timeout = '" +
                                     std::to_string(m_limits.statementWait.count()) +
                                     "ms'; SET client_min_messages = warning";
        Result r(PQexec(conn, settings.c_str()));
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) fail(conn, "settings");
        // The statements can only be prepared once the table exists.
        r.reset(PQexec(conn, kSchema));
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) fail(conn, "create the tables");
        const Oid recordTypes[] = {kText, kBytea, kInt4, kInt4, kInt4, kText};
        prepare(conn, "record", kRecord, 6, recordTypes);
        const Oid rankTypes[] = {kText, kInt4, kInt8};
        prepare(conn, "rank", kRank, 3, rankTypes);
        const Oid topTypes[] = {kText, kInt4, kBool};
        prepare(conn, "top", kTop, 3, topTypes);
    } catch (...) {
        PQfinish(conn);
        throw;
    }
    return conn;
}

pg_conn* PostgresStore::acquire() {
    std::unique_lock<std::mutex> lock(m_mutex);
    // A timed wait: with the server stalled every connection may be stuck, and a request then fails
    // rather than waiting with them.
    if (!m_available.wait_for(lock, m_limits.poolWait,
                              [this] { return !m_idle.empty() || m_open < m_maxConnections; }))
        throw StoreError("postgres: no connection free within " + std::to_string(m_limits.poolWait.count()) +
                         " ms");
    if (!m_idle.empty()) {
        pg_conn* conn = m_idle.back();
        m_idle.pop_back();
        return conn;
    }
    ++m_open;
    lock.unlock();
    try {
        return connect();
    } catch (...) {
        release(nullptr);
        throw;
    }
}

void PostgresStore::release(pg_conn* conn) {
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (conn != nullptr)
            m_idle.push_back(conn);
        else
            --m_open;
    }
    m_available.notify_one();
}

Recorded PostgresStore::record(const Submission& s) {
    Lease lease(*this);
    const std::string score = std::to_string(s.score), level = std::to_string(s.level),
                      nonce = std::to_string(s.nonce);
    const char* values[] = {s.mode.c_str(), s.name.data(), score.c_str(),
                            level.c_str(),  nonce.c_str(), s.address.c_str()};
    const int lengths[] = {0, static_cast<int>(s.name.size()), 0, 0, 0, 0};
    const int formats[] = {0, 1, 0, 0, 0, 0};
    Recorded result;
    for (int attempt = 0; attempt < 3 && result.id == 0; ++attempt) {
        // Each statement commits on its own: once it returns, the entry is durable.
        Result r = lease.run("record", true, 6, values, lengths, formats, 0);
        if (PQntuples(r.get()) == 0) continue;
        result.id = std::strtoll(PQgetvalue(r.get(), 0, 0), nullptr, 10);
        result.inserted = PQgetvalue(r.get(), 0, 1)[0] == '1';
    }
    if (result.id == 0) throw StoreError("postgres: the entry neither went in nor was found");
    const std::string id = std::to_string(result.id);
    const char* rankValues[] = {s.mode.c_str(), score.c_str(), id.c_str()};
    Result r = lease.run("rank", true, 3, rankValues, nullptr, nullptr, 0);
    result.rank = static_cast<int32_t>(std::strtol(PQgetvalue(r.get(), 0, 0), nullptr, 10));
    return result;
}

std::vector<ScoreRow> PostgresStore::top(const std::string& mode, int32_t limit, bool verifiedOnly) {
    Lease lease(*this);
    const std::string count = std::to_string(limit);
    const char* values[] = {mode.c_str(), count.c_str(), verifiedOnly ? "true" : "false"};
    // Binary results give the name's bytes exactly as stored.
    Result r = lease.run("top", true, 3, values, nullptr, nullptr, 1);
    std::vector<ScoreRow> rows;
    const int n = PQntuples(r.get());
    rows.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        ScoreRow row;
        row.name.assign(PQgetvalue(r.get(), i, 0), static_cast<size_t>(PQgetlength(r.get(), i, 0)));
        row.score = readInt4(r.get(), i, 1);
        row.level = readInt4(r.get(), i, 2);
        row.verified = readBool(r.get(), i, 3);
        row.id = readInt8(r.get(), i, 4);
        row.created.assign(PQgetvalue(r.get(), i, 5), static_cast<size_t>(PQgetlength(r.get(), i, 5)));
        row.replay = readBool(r.get(), i, 6);
        row.rank = i + 1;
        rows.push_back(std::move(row));
    }
    return rows;
}

VerifyResult PostgresStore::verify(const Verification& v) {
    Lease lease(*this);
    lease.query("BEGIN", {}, {}, PGRES_COMMAND_OK);
    Result found = lease.query(
        "SELECT id FROM scores WHERE mode = $1 AND nonce = $2::int AND name = $3::bytea "
        "AND level = $4::int AND score = $5::int FOR UPDATE",
        {v.mode, std::to_string(v.nonce), v.name, std::to_string(v.level), std::to_string(v.score)},
        {0, 0, 1, 0, 0});
    if (PQntuples(found.get()) == 0) {
        lease.query("ROLLBACK", {}, {}, PGRES_COMMAND_OK);
        return VerifyResult::NoEntry;
    }
    const std::string entry = PQgetvalue(found.get(), 0, 0);
    // The game already kept (with this entry: a repeated upload; with another: a copy) or the entry
    // already holding a game: the first one stays.
    Result kept = lease.query("SELECT entry_id, human, game_hash = $2 FROM recordings WHERE game_hash = $2 "
                              "OR entry_id = $1::bigint ORDER BY game_hash = $2 DESC",
                              {entry, v.gameHash}, {0, 0});
    if (PQntuples(kept.get()) > 0) {
        const bool sameGame = PQgetvalue(kept.get(), 0, 2)[0] == 't';
        const bool otherEntry = entry != PQgetvalue(kept.get(), 0, 0);
        const bool human = PQgetvalue(kept.get(), 0, 1)[0] == 't';
        lease.query("ROLLBACK", {}, {}, PGRES_COMMAND_OK);
        if (sameGame && otherEntry) return VerifyResult::GameTaken;
        return human ? VerifyResult::Verified : VerifyResult::Review;
    }
    lease.query(
        "INSERT INTO recordings(entry_id, game_hash, human, reasons, ticks, bytes) "
        "VALUES($1::bigint, $2, $3::boolean, $4, $5::bigint, $6::bytea)",
        {entry, v.gameHash, v.human ? "true" : "false", v.reasons, std::to_string(v.ticks), v.recording},
        {0, 0, 0, 0, 0, 1}, PGRES_COMMAND_OK);
    if (v.human)
        lease.query("UPDATE scores SET verified = true WHERE id = $1::bigint", {entry}, {0},
                    PGRES_COMMAND_OK);
    lease.query("SELECT pg_notify($1, $2)", {kChannel, v.mode}, {0, 0});
    lease.query("COMMIT", {}, {}, PGRES_COMMAND_OK);
    return v.human ? VerifyResult::Verified : VerifyResult::Review;
}

bool PostgresStore::reachable() {
    try {
        Lease lease(*this);
        lease.query("SELECT 1", {}, {});
        return true;
    } catch (const StoreError&) {
        return false;
    }
}

void PostgresStore::watch(std::function<void(const std::string& mode)> changed) {
    stopWatching();
    m_listenStop = false;
    m_listener = std::thread([this, changed = std::move(changed)] {
        pg_conn* conn = nullptr;
        auto stopping = [this] {
            std::lock_guard<std::mutex> guard(m_listenMutex);
            return m_listenStop;
        };
        while (!stopping()) {
            if (conn == nullptr) {
                try {
                    conn = connect();
                    Result r(PQexec(conn, "LISTEN morphella_scores"));
                    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) fail(conn, "listen");
                    // Whatever happened while no one listened is unknown.
                    changed("");
                } catch (const StoreError&) {
                    if (conn != nullptr) PQfinish(conn);
                    conn = nullptr;
                    for (int i = 0; i < 10 && !stopping(); ++i)
                        std::this_thread::sleep_for(std::chrono::milliseconds(100));
                    continue;
                }
            }
            pollfd p{PQsocket(conn), POLLIN, 0};
            ::poll(&p, 1, 250);
            if (PQconsumeInput(conn) == 0 || PQstatus(conn) != CONNECTION_OK) {
                PQfinish(conn);
                conn = nullptr;
                continue;
            }
            while (PGnotify* n = PQnotifies(conn)) {
                changed(n->extra != nullptr ? n->extra : "");
                PQfreemem(n);
            }
        }
        if (conn != nullptr) PQfinish(conn);
    });
}

void PostgresStore::stopWatching() {
    {
        std::lock_guard<std::mutex> guard(m_listenMutex);
        m_listenStop = true;
    }
    if (m_listener.joinable()) m_listener.join();
}

} // namespace mph::service
