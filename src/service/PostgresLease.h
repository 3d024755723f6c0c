// PostgresLease: what the PostgreSQL store's files share: results freed on every way out, errors as
// StoreError, and a pooled connection leased for one operation with a deadline on every statement.
#pragma once

#include "service/PostgresStore.h"

#include <libpq-fe.h>

#include <chrono>
#include <memory>
#include <poll.h>
#include <string>
#include <vector>

namespace mph::service {

namespace pgsupport {

// Changes are announced on this channel, with the mode changed or "" for any.
inline constexpr const char* kChannel = "morphella_scores";

struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

[[noreturn]] inline void fail(pg_conn* conn, const char* what) {
    std::string message = PQerrorMessage(conn);
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    throw StoreError(std::string("postgres: ") + what + ": " + message);
}

} // namespace pgsupport

using pgsupport::fail;
using pgsupport::Result;

// A connection taken from the pool for one operation. A connection whose session broke, that is left
// inside a transaction, or that missed a deadline is closed rather than handed back, so the next
// operation opens a fresh one.
class PostgresStore::Lease {
public:
    explicit Lease(PostgresStore& store) : m_store(store), m_conn(store.acquire()) {}
    ~Lease() {
        if (!m_broken && PQstatus(m_conn) == CONNECTION_OK && PQtransactionStatus(m_conn) == PQTRANS_IDLE) {
            m_store.release(m_conn);
        } else {
            PQfinish(m_conn);
            m_store.release(nullptr);
        }
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    pg_conn* get() const { return m_conn; }

    // Sends a statement (a prepared one when prepared, else SQL text) and waits for its answer at most
    // the store's statement wait: a stalled server fails the request instead of holding its thread.
    Result run(const char* statement, bool prepared, int count, const char* const* values, const int* lengths,
               const int* formats, int resultFormat, ExecStatusType expected = PGRES_TUPLES_OK) {
        const int sent =
            prepared ? PQsendQueryPrepared(m_conn, statement, count, values, lengths, formats, resultFormat)
                     : PQsendQueryParams(m_conn, statement, count, nullptr, values, lengths, formats,
                                         resultFormat);
        if (sent == 0) {
            m_broken = true;
            fail(m_conn, "send");
        }
        const auto deadline = std::chrono::steady_clock::now() + m_store.m_limits.statementWait;
        Result first, last;
        for (;;) {
            while (PQisBusy(m_conn) != 0) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now());
                if (left.count() <= 0) {
                    m_broken = true;
                    throw StoreError("postgres: no answer within " +
                                     std::to_string(m_store.m_limits.statementWait.count()) + " ms");
                }
                pollfd p{PQsocket(m_conn), POLLIN, 0};
                ::poll(&p, 1, static_cast<int>(left.count()));
                if (PQconsumeInput(m_conn) == 0) {
                    m_broken = true;
                    fail(m_conn, "read");
                }
            }
            PGresult* r = PQgetResult(m_conn);
            if (r == nullptr) break;
            if (!first)
                first.reset(r);
            else
                last.reset(r);
        }
        for (const Result* r : {&first, &last}) {
            if (!*r) continue;
            const ExecStatusType status = PQresultStatus(r->get());
            if (status == PGRES_FATAL_ERROR || status == PGRES_BAD_RESPONSE || status == PGRES_NONFATAL_ERROR)
                fail(m_conn, prepared ? statement : "statement");
        }
        Result& result = last ? last : first;
        if (!result || PQresultStatus(result.get()) != expected)
            fail(m_conn, prepared ? statement : "statement");
        return std::move(result);
    }
    Result query(const char* text, std::vector<std::string> params, std::vector<int> formats,
                 ExecStatusType expected = PGRES_TUPLES_OK) {
        std::vector<const char*> values;
        std::vector<int> lengths;
        for (const std::string& c : params) {
            values.push_back(c.data());
            lengths.push_back(static_cast<int>(c.size()));
        }
        return run(text, false, static_cast<int>(values.size()), values.data(), lengths.data(),
                   formats.data(), 0, expected);
    }

private:
    PostgresStore& m_store;
    pg_conn* m_conn;
    bool m_broken = false;
};

} // namespace mph::service
