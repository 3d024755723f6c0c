// PostgresStore: the PostgreSQL schema, prepared statements and a small pool of libpq connections.
#include "service/PostgresStore.h"

#include <libpq-fe.h>

#include <arpa/inet.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace mph::service {

namespace {

// Version 2 of the schema (version 1 had no "verified" column). The advisory lock keeps instances
// starting together from racing on it.
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
constexpr const char* kTop = "SELECT name, score, level, verified FROM scores WHERE mode = $1 "
                             "AND (NOT $3 OR verified) ORDER BY score DESC, id LIMIT $2";
constexpr const char* kVerify = "UPDATE scores SET verified = true "
                                "WHERE mode = $1 AND name = $2 AND level = $3 AND score = $4 RETURNING id";

constexpr Oid kText = 25, kBytea = 17, kInt4 = 23, kInt8 = 20, kBool = 16;

struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

[[noreturn]] void fail(pg_conn* conn, const char* what) {
    std::string message = PQerrorMessage(conn);
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    throw StoreError(std::string("postgres: ") + what + ": " + message);
}

void prepare(pg_conn* conn, const char* name, const char* sql, int count, const Oid* types) {
    Result r(PQprepare(conn, name, sql, count, types));
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) fail(conn, "prepare");
}

Result run(pg_conn* conn, const char* statement, int count, const char* const* values, const int* lengths,
           const int* formats, int resultFormat) {
    Result r(PQexecPrepared(conn, statement, count, values, lengths, formats, resultFormat));
    if (PQresultStatus(r.get()) != PGRES_TUPLES_OK) fail(conn, statement);
    return r;
}

int32_t readInt4(const PGresult* r, int row, int column) {
    uint32_t v = 0;
    if (PQgetlength(r, row, column) == 4) std::memcpy(&v, PQgetvalue(r, row, column), 4);
    return static_cast<int32_t>(ntohl(v));
}

} // namespace

// A connection taken from the pool for one operation. A connection whose session broke is closed
// rather than handed back, so the next operation opens a fresh one.
class PostgresStore::Lease {
public:
    explicit Lease(PostgresStore& store) : m_store(store), m_conn(store.acquire()) {}
    ~Lease() {
        if (PQstatus(m_conn) == CONNECTION_OK && PQtransactionStatus(m_conn) == PQTRANS_IDLE) {
            m_store.release(m_conn);
        } else {
            PQfinish(m_conn);
            m_store.release(nullptr);
        }
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    pg_conn* get() const { return m_conn; }

private:
    PostgresStore& m_store;
    pg_conn* m_conn;
};

PostgresStore::PostgresStore(const std::string& conninfo, size_t maxConnections)
    : m_conninfo(conninfo), m_maxConnections(maxConnections < 1 ? 1 : maxConnections) {
    m_idle.push_back(connect());
    m_open = 1;
}

PostgresStore::~PostgresStore() {
    for (pg_conn* conn : m_idle)
        PQfinish(conn);
}

pg_conn* PostgresStore::connect() {
    pg_conn* conn = PQconnectdb(m_conninfo.c_str());
    if (PQstatus(conn) != CONNECTION_OK) {
        std::string message = PQerrorMessage(conn);
        PQfinish(conn);
        while (!message.empty() && message.back() == '\n')
            message.pop_back();
        throw StoreError("postgres: cannot connect: " + message);
    }
    try {
        // A statement that hangs (a lock held elsewhere, a stalled server) fails the request instead.
        Result r(PQexec(conn, "SET statement_timeout = '10s'; SET client_min_messages = warning"));
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
        const Oid verifyTypes[] = {kText, kBytea, kInt4, kInt4};
        prepare(conn, "verify", kVerify, 4, verifyTypes);
    } catch (...) {
        PQfinish(conn);
        throw;
    }
    return conn;
}

pg_conn* PostgresStore::acquire() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_available.wait(lock, [this] { return !m_idle.empty() || m_open < m_maxConnections; });
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
    pg_conn* conn = lease.get();
    const std::string score = std::to_string(s.score), level = std::to_string(s.level),
                      nonce = std::to_string(s.nonce);
    const char* values[] = {s.mode.c_str(), s.name.data(), score.c_str(),
                            level.c_str(),  nonce.c_str(), s.address.c_str()};
    const int lengths[] = {0, static_cast<int>(s.name.size()), 0, 0, 0, 0};
    const int formats[] = {0, 1, 0, 0, 0, 0};
    Recorded result;
    for (int attempt = 0; attempt < 3 && result.id == 0; ++attempt) {
        // Each statement commits on its own: once it returns, the entry is durable.
        Result r = run(conn, "record", 6, values, lengths, formats, 0);
        if (PQntuples(r.get()) == 0) continue;
        result.id = std::strtoll(PQgetvalue(r.get(), 0, 0), nullptr, 10);
        result.inserted = PQgetvalue(r.get(), 0, 1)[0] == '1';
    }
    if (result.id == 0) throw StoreError("postgres: the entry neither went in nor was found");
    const std::string id = std::to_string(result.id);
    const char* rankValues[] = {s.mode.c_str(), score.c_str(), id.c_str()};
    Result r = run(conn, "rank", 3, rankValues, nullptr, nullptr, 0);
    result.rank = static_cast<int32_t>(std::strtol(PQgetvalue(r.get(), 0, 0), nullptr, 10));
    return result;
}

std::vector<ScoreRow> PostgresStore::top(const std::string& mode, int32_t limit, bool verifiedOnly) {
    Lease lease(*this);
    const std::string count = std::to_string(limit);
    const char* values[] = {mode.c_str(), count.c_str(), verifiedOnly ? "true" : "false"};
    // Binary results give the name's bytes exactly as stored.
    Result r = run(lease.get(), "top", 3, values, nullptr, nullptr, 1);
    std::vector<ScoreRow> rows;
    const int n = PQntuples(r.get());
    rows.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        ScoreRow row;
        row.name.assign(PQgetvalue(r.get(), i, 0), static_cast<size_t>(PQgetlength(r.get(), i, 0)));
        row.score = readInt4(r.get(), i, 1);
        row.level = readInt4(r.get(), i, 2);
        row.verified = PQgetlength(r.get(), i, 3) == 1 && PQgetvalue(r.get(), i, 3)[0] != 0;
        row.rank = i + 1;
        rows.push_back(std::move(row));
    }
    return rows;
}

int32_t PostgresStore::markVerified(const std::string& mode, const std::string& name, int32_t level,
                                    int32_t score) {
    Lease lease(*this);
    const std::string levelText = std::to_string(level), scoreText = std::to_string(score);
    const char* values[] = {mode.c_str(), name.data(), levelText.c_str(), scoreText.c_str()};
    const int lengths[] = {0, static_cast<int>(name.size()), 0, 0};
    const int formats[] = {0, 1, 0, 0};
    Result r = run(lease.get(), "verify", 4, values, lengths, formats, 0);
    return PQntuples(r.get());
}

} // namespace mph::service
